// Construction, the setters of the port's own settings, loading and links.
#include "serial/CPort.h"

#include "platform/ErrorReport.h"
#include "serial/core/ComDevice.h"
#include "serial/core/ComNotifier.h"
#include "serial/core/ComThread.h"
#include "serial/core/SettingChange.h"

namespace cport {

TCustomComPort::TCustomComPort()
    : TCustomComPort(makeLinuxComDevice())
{
}

TCustomComPort::TCustomComPort(std::unique_ptr<TComDevice> device)
    : m_device(std::move(device))
{
}

TCustomComPort::~TCustomComPort()
{
    DestroyNotice.notify();
    try {
        closePort();
    } catch (...) {
        // A destructor cannot report; the teardown below still releases everything.
    }
    closeWithoutNotifying();
}

void TCustomComPort::beginLoading()
{
    m_loading = true;
}

void TCustomComPort::endLoading()
{
    m_loading = false;
    loaded();
}

void TCustomComPort::loaded()
{
    if (!m_connected)
        return;
    m_connected = false;
    platform::runReported([this] { openPort(); });
}

void TCustomComPort::applyIfChanged(bool changed)
{
    if (changed)
        applyLineSettings();
}

void TCustomComPort::setConnected(bool value)
{
    if (m_loading) {
        m_connected = value;
        return;
    }
    if (value == m_connected)
        return;
    if (value)
        openPort();
    else
        closePort();
}

void TCustomComPort::setBaudRate(TBaudRate value)
{
    applyIfChanged(change(m_baudRate, value));
}
void TCustomComPort::setCustomBaudRate(std::int32_t value)
{
    applyIfChanged(change(m_customBaudRate, value));
}
void TCustomComPort::setStopBits(TStopBits value)
{
    applyIfChanged(change(m_stopBits, value));
}
void TCustomComPort::setDataBits(TDataBits value)
{
    applyIfChanged(change(m_dataBits, value));
}
void TCustomComPort::setDiscardNull(bool value)
{
    applyIfChanged(change(m_discardNull, value));
}
void TCustomComPort::setEventChar(char value)
{
    applyIfChanged(change(m_eventChar, value));
}
void TCustomComPort::setEvents(TComEvents value)
{
    m_events = value;
}

void TCustomComPort::setPort(const std::string& value)
{
    if (!change(m_port, value))
        return;
    if (m_connected && !m_loading) {
        closePort();
        openPort();
    }
}

void TCustomComPort::setSyncMethod(TSyncMethod value)
{
    if (value == m_syncMethod)
        return;
    if (m_connected && !m_loading)
        throw EComPort(ecConnectedChange);
    m_syncMethod = value;
}

void TCustomComPort::setParity(const TComParity& value)
{
    m_parity.assign(&value);
    applyLineSettings();
}

void TCustomComPort::setFlowControl(const TComFlowControl& value)
{
    m_flowControl.assign(&value);
    applyLineSettings();
}

void TCustomComPort::setTimeouts(const TComTimeouts& value)
{
    m_timeouts.assign(&value);
    applyTimeoutSettings();
}

void TCustomComPort::setBuffer(const TComBuffer& value)
{
    m_buffer.assign(&value);
    applyBufferSizes();
}

void TCustomComPort::attachLink(TPortLink& link)
{
    m_links.attach(link);
}
void TCustomComPort::detachLink(TPortLink& link)
{
    m_links.detach(link);
}

} // namespace cport
