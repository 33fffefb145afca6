// Opening, configuring and closing the device.
#include "serial/CPort.h"

#include "serial/ComDevice.h"
#include "serial/DevicePath.h"
#include "serial/DeviceRecords.h"

namespace cport {

void TCustomComPort::openPort()
{
    if (m_connected)
        return;
    handleBeforeOpen();
    openDevice();
    m_connected = true;
    try {
        configureDevice();
    } catch (...) {
        releaseDevice();
        m_connected = false;
        throw;
    }
    handleAfterOpen();
}

void TCustomComPort::closePort()
{
    if (!m_connected)
        return;
    handleBeforeClose();
    abortTransfers();
    releaseDevice();
    m_connected = false;
    handleAfterClose();
}

void TCustomComPort::closeWithoutNotifying()
{
    releaseDevice();
    m_connected = false;
}

int TCustomComPort::deviceHandle() const
{
    return m_device->handle();
}

void TCustomComPort::openDevice()
{
    raiseOnComError(ecOpenFailed, m_device->open(comDevicePath(m_port)));
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
