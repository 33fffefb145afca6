// Opening, configuring and closing the device.
#include "serial/CPort.h"

#include "serial/core/ComDevice.h"
#include "serial/core/ComNotifier.h"
#include "serial/core/ComThread.h"
#include "serial/core/DeviceRecords.h"

namespace cport {

void TCustomComPort::openPort()
{
    if (m_connected)
        return;
    handleBeforeOpen();
    openDevice();
    m_connected = true;
    m_hangUpOwed = false;
    m_owner = std::this_thread::get_id();
    try {
        configureDevice();
        startMonitoring();
    } catch (...) {
        stopMonitoring();
        releaseDevice();
        m_connected = false;
        throw;
    }
    handleAfterOpen();
}

void TCustomComPort::closePort()
{
    if (!m_connected || m_closing.exchange(true))
        return;
    struct ClosingScope {
        std::atomic<bool>& closing;
        ~ClosingScope() { closing = false; }
    } scope { m_closing };
    handleBeforeClose();
    abortTransfers();
    stopMonitoring();
    releaseDevice();
    m_connected = false;
    handleAfterClose();
}

void TCustomComPort::closeWithoutNotifying()
{
    stopMonitoring();
    releaseDevice();
    m_connected = false;
    m_retired.clear();
}

void TCustomComPort::startMonitoring()
{
    std::erase_if(m_retired, [](const std::unique_ptr<TComThread>& t) { return t->finished(); });
    if (m_events.empty())
        return;
    if (m_syncMethod == smWindowSync)
        m_notifier = std::make_unique<TComNotifier>(*this, m_owner);
    m_thread = std::make_unique<TComThread>(*this, m_owner);
    m_thread->start();
}

void TCustomComPort::stopMonitoring()
{
    if (m_thread && m_thread->waitWouldDeadlock()) {
        // Closed from inside the thread's own delivery: it cannot be waited for here.
        m_thread->abandon();
        m_retired.push_back(std::move(m_thread));
    }
    m_thread.reset();
    m_notifier.reset();
}

int TCustomComPort::deviceHandle() const
{
    return m_device->handle();
}

void TCustomComPort::openDevice()
{
    if (const int error = m_device->open(m_port))
        throw EComPort(ecOpenFailed, error, m_device->openFailureDetail());
}

void TCustomComPort::releaseDevice()
{
    m_device->release();
}

void TCustomComPort::configureDevice()
{
    applyBufferSizes();
    applyLineSettings();
    applyTimeoutSettings();
}

void TCustomComPort::applyLineSettings()
{
    if (m_connected && !m_loading)
        raiseOnComError(ecSetStateFailed, m_device->setLineSettings(buildDcb(*this)));
}

void TCustomComPort::applyTimeoutSettings()
{
    if (m_connected && !m_loading)
        raiseOnComError(ecTimeoutsFailed, m_device->setTimeouts(buildTimeouts(m_timeouts)));
}

void TCustomComPort::applyBufferSizes()
{
    if (m_connected && !m_loading)
        raiseOnComError(ecSetupCommFailed,
            m_device->setQueueSizes(m_buffer.InputSize(), m_buffer.OutputSize()));
}

} // namespace cport
