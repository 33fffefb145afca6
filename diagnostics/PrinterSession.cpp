#include "diagnostics/PrinterSession.h"

#include "printer/OpenPrinterLink.h"
#include "serial/CPort.h"

namespace diagnostics {

PrinterSession::PrinterSession(
    const printer::PrinterConnection& connection, printer::TrafficObserver observer)
    : m_connection(connection)
    , m_observer(std::move(observer))
{
}

PrinterSession::~PrinterSession()
{
    try {
        releasePort();
    } catch (...) {
        // Closing raises only when aborting transfers failed; the port is closed regardless.
    }
}

bool PrinterSession::setKeepPortOpen(bool keep)
{
    m_keepPortOpen = keep;
    if (!keep) {
        releasePort();
        return false;
    }
    if (m_connection.isChecked(printer::Connection::Com) && !m_portHeld) {
        auto& port = m_connection.comPort();
        port.openPort();
        m_portHeld = true;
        // The port may go first when the window closes; nothing is left to release then.
        port.DestroyNotice.subscribe(this, [this] { m_portHeld = false; });
    }
    return m_portHeld;
}

bool PrinterSession::holdsPort() const
{
    return m_portHeld && m_connection.isChecked(printer::Connection::Com)
        && m_connection.comPort().Connected();
}

void PrinterSession::releasePort()
{
    if (!m_portHeld)
        return;
    m_portHeld = false;
    auto& port = m_connection.comPort();
    port.DestroyNotice.unsubscribe(this);
    port.closePort();
}

std::unique_ptr<printer::PrinterLink> PrinterSession::openLink()
{
    // A port held open is reused; otherwise the serial link opens and closes it around its use.
    auto link = printer::openPrinterLink(m_connection, holdsPort());
    link->setObserver(m_observer);
    return link;
}

printer::PrinterReport PrinterSession::queryStatus()
{
    auto link = openLink();
    return printer::queryFullStatus(*link, m_answerLimit);
}

std::optional<printer::PrinterReport> PrinterSession::press(const std::string& bytes,
    bool statusAfter, const std::function<void(const std::string&)>& ordinarySend)
{
    if (holdsPort()) {
        auto link = openLink();
        link->send(bytes);
        if (statusAfter)
            return printer::queryPressStatus(*link, m_answerLimit);
        return std::nullopt;
    }
    ordinarySend(bytes);
    if (m_observer)
        m_observer(printer::Direction::Sent, bytes);
    if (!statusAfter)
        return std::nullopt;
    auto link = openLink();
    return printer::queryPressStatus(*link, m_answerLimit);
}

} // namespace diagnostics
