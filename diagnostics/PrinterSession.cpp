#include "diagnostics/PrinterSession.h"

#include "printer/OpenPrinterLink.h"
#include "serial/CPort.h"

namespace diagnostics {

PrinterSession::PrinterSession(const printer::PrinterConnection& connection, Recorder recorder)
    : m_connection(connection)
    , m_recorder(std::move(recorder))
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
    link->setObserver([this](printer::Direction direction, std::string_view bytes,
                          std::string_view note) {
        if (m_recorder)
            m_recorder(direction, bytes, note,
                direction == printer::Direction::Sent && m_pressTime ? *m_pressTime : Clock::now());
    });
    link->setCancelled(m_cancelled);
    return link;
}

template <typename Work> auto PrinterSession::onHeldPort(Work work)
{
    const bool held = holdsPort();
    try {
        return work();
    } catch (const platform::EAbort&) {
        throw;
    } catch (...) {
        // A descriptor that failed may be dead (the device unplugged): the next use opens the
        // port afresh instead of failing on it again.
        if (held) {
            m_keepPortOpen = false;
            try {
                releasePort();
            } catch (...) {
                // The failure of the work is the one to report.
            }
        }
        throw;
    }
}

printer::PrinterReport PrinterSession::queryStatus()
{
    return onHeldPort([this] {
        auto link = openLink();
        return printer::queryFullStatus(*link, m_answerLimit);
    });
}

void PrinterSession::record(
    const std::string& bytes, const printer::Delivery& delivery, Clock::time_point at)
{
    if (!m_recorder)
        return;
    m_recorder(
        printer::Direction::Sent, std::string_view(bytes).substr(0, delivery.delivered), {}, at);
    if (!delivery.failure.empty())
        m_recorder(printer::Direction::Sent, {},
            printer::failureNote(delivery.failure, delivery.delivered, bytes.size()), at);
}

PrinterSession::PressResult PrinterSession::press(
    const std::string& bytes, bool statusAfter, const OrdinarySend& ordinarySend)
{
    const auto pressed = Clock::now();
    PressResult result;
    if (holdsPort()) {
        return onHeldPort([&] {
            auto link = openLink();
            m_pressTime = pressed;
            try {
                link->send(bytes);
            } catch (...) {
                m_pressTime.reset();
                throw;
            }
            m_pressTime.reset();
            result.delivery = { bytes.size(), {} };
            if (statusAfter)
                result.report = printer::queryPressStatus(*link, m_answerLimit);
            return result;
        });
    }
    try {
        result.delivery = ordinarySend(bytes);
    } catch (const std::exception& error) {
        const auto* partial = dynamic_cast<const printer::SendFailure*>(&error);
        record(bytes, { partial ? partial->delivered() : 0, error.what() }, pressed);
        throw;
    }
    record(bytes, result.delivery, pressed);
    if (statusAfter && result.delivery.failure.empty()) {
        auto link = openLink();
        result.report = printer::queryPressStatus(*link, m_answerLimit);
    }
    return result;
}

} // namespace diagnostics
