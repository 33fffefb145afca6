#include "diagnostics/LineWatch.h"

#include "diagnostics/ModemLines.h"
#include "serial/CPort.h"

namespace diagnostics {

LineWatch::LineWatch(std::function<void()> changed, std::function<void()> gone)
    : m_changed(std::move(changed))
    , m_gone(std::move(gone))
{
}

LineWatch::~LineWatch()
{
    detach();
}

void LineWatch::attach(cport::TCustomComPort& port)
{
    detach();
    m_port = &port;
    m_deviceGone = false;
    const auto onLine = [this](cport::TCustomComPort&, bool) { lineEvent(); };
    port.OnCTSChange = onLine;
    port.OnDSRChange = onLine;
    port.OnRLSDChange = onLine;
    port.OnRing = [this](cport::TCustomComPort&) { lineEvent(); };
    // A hang-up is an I/O error that never clears: the descriptor is dead from now on.
    port.OnError = [this](cport::TCustomComPort&, cport::TComErrors errors) {
        if (errors.contains(cport::errIO) && m_port && m_gone)
            m_gone();
    };
    // A port that goes first (the window closing) is simply forgotten.
    port.DestroyNotice.subscribe(this, [this] {
        m_port = nullptr;
        m_inputs.reset();
    });
    if (hasModemLines(port.deviceHandle()))
        m_inputs = port.lineSignals();
    else
        m_inputs.reset();
    m_changed();
}

void LineWatch::detach(bool deviceGone)
{
    m_deviceGone = deviceGone;
    if (!m_port)
        return;
    m_port->OnCTSChange = nullptr;
    m_port->OnDSRChange = nullptr;
    m_port->OnRLSDChange = nullptr;
    m_port->OnRing = nullptr;
    m_port->OnError = nullptr;
    m_port->DestroyNotice.unsubscribe(this);
    m_port = nullptr;
    m_inputs.reset();
    m_changed();
}

void LineWatch::lineEvent()
{
    // An event proves the lines exist; the levels are read afresh, so every light is current.
    if (m_port)
        m_inputs = m_port->lineSignals();
    m_changed();
}

std::vector<LightState> LineWatch::lights() const
{
    if (!m_port)
        return closedPortLineLights(m_deviceGone);
    // The output levels are read afresh: handshake and toggle move them without an event.
    const auto levels = outputLevels(m_port->deviceHandle());
    return lineLights(m_inputs,
        { levels ? std::optional(levels->dtr) : std::nullopt,
            levels ? std::optional(levels->rts) : std::nullopt, m_port->FlowControl().ControlDTR(),
            m_port->FlowControl().ControlRTS() });
}

} // namespace diagnostics
