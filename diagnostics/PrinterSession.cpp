#include "diagnostics/PrinterSession.h"

#include "printer/OpenPrinterLink.h"
#include "printer/SerialLink.h"
#include "serial/CPort.h"

namespace diagnostics {

PrinterSession::PrinterSession(const printer::PrinterConnection& connection, Recorder recorder)
    : m_connection(connection)
    , m_recorder(std::move(recorder))
{
}

PrinterSession::~PrinterSession()
{
    stopWatch();
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
    if (canHoldPort() && !m_portHeld) {
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
    return m_portHeld && canHoldPort() && m_connection.comPort().Connected();
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

std::unique_ptr<printer::PrinterLink> PrinterSession::plainLink()
{
    // A port held open is reused; otherwise the serial link opens and closes it around its use.
    return m_linkSource ? m_linkSource() : printer::openPrinterLink(m_connection, holdsPort());
}

std::unique_ptr<printer::PrinterLink> PrinterSession::openLink()
{
    auto link = plainLink();
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

template <typename Work> auto PrinterSession::withLink(Work work)
{
    if (!m_watch)
        return onHeldPort([&] {
            auto link = openLink();
            return work(*link);
        });
    // What came while the link was in use is shown when the use ends, however it ends.
    struct Shown {
        PrinterSession& session;
        ~Shown() { session.takeHeard(); }
    } shown { *this };
    takeHeard();
    return m_watch->use([&](printer::PrinterLink& link) {
        link.setCancelled(m_cancelled);
        return work(link);
    });
}

printer::PrinterReport PrinterSession::queryStatus()
{
    return withLink([this](printer::PrinterLink& link) {
        return printer::queryFullStatus(link, m_answerLimit);
    });
}

printer::PrinterReport PrinterSession::queryDetails()
{
    return withLink(
        [this](printer::PrinterLink& link) { return printer::queryDetails(link, m_answerLimit); });
}

printer::PrinterReport PrinterSession::recover(printer::RecoveryRequest request)
{
    return withLink([&](printer::PrinterLink& link) {
        link.send(printer::recoveryBytes(request));
        return printer::queryFullStatus(link, m_answerLimit);
    });
}

void PrinterSession::startWatch(std::uint8_t bits, std::function<void()> wake)
{
    stopWatch();
    auto link = plainLink();
    if (!link->canAnswer())
        throw platform::Exception(
            "Nothing comes back on this connection: there is nothing to watch");
    link->setCancelled(m_cancelled);
    // Sent bytes are shown at the press while one runs; this is asked on the thread that sends.
    auto timeOf = [this](printer::Direction direction) {
        return direction == printer::Direction::Sent && m_pressTime ? *m_pressTime : Clock::now();
    };
    m_watch = std::make_unique<printer::LinkListener>(std::move(link), std::move(wake), timeOf);
    try {
        withLink([bits](printer::PrinterLink& watched) { watched.chooseAutoStatus(bits); });
    } catch (...) {
        m_watch.reset();
        throw;
    }
}

void PrinterSession::stopWatch()
{
    if (!m_watch)
        return;
    try {
        withLink([](printer::PrinterLink& link) { link.chooseAutoStatus(0); });
    } catch (...) {
        // A printer that is gone has nothing left to stop; the link is closed regardless.
    }
    m_watch.reset();
}

void PrinterSession::takeHeard()
{
    if (!m_watch)
        return;
    for (auto& heard : m_watch->take()) {
        if (!heard.autoStatus) {
            if (m_recorder)
                m_recorder(heard.direction, heard.bytes, heard.note, heard.time);
            continue;
        }
        if (m_jobMessages)
            m_jobMessages->push_back(heard.bytes);
        if (m_autoStatus)
            m_autoStatus(heard.bytes, heard.time);
    }
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
    m_jobMessages = &result.autoStatus;
    struct Done {
        PrinterSession& session;
        ~Done()
        {
            session.m_jobMessages = nullptr;
            session.m_pressTime.reset();
        }
    } done { *this };
    // The pane's own printer, like a held-open port, takes the press over its link.
    if (m_watch || holdsPort() || m_linkSource) {
        withLink([&](printer::PrinterLink& link) {
            m_pressTime = pressed;
            link.send(bytes);
            m_pressTime.reset();
            result.delivery = { bytes.size(), {} };
            if (statusAfter)
                result.report = printer::queryPressStatus(link, m_answerLimit);
        });
        return result;
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

printer::Delivery PrinterSession::sendOnOwnPort(const std::string& bytes, printer::LineFlow flow,
    const std::function<void(cport::TCustomComPort*)>& watch)
{
    if (m_watch || holdsPort())
        throw platform::Exception("The serial port is held open by the pane: switch off Watch and "
                                  "Keep port open first");
    const auto port = printer::ownSerialPort(m_connection.comPort(), flow);
    printer::SerialLink link(*port, false);
    link.setObserver(
        [this](printer::Direction direction, std::string_view sent, std::string_view note) {
            if (m_recorder)
                m_recorder(direction, sent, note, Clock::now());
        });
    watch(port.get());
    struct Unwatch {
        const std::function<void(cport::TCustomComPort*)>& watch;
        ~Unwatch() { watch(nullptr); }
    } unwatch { watch };
    try {
        link.send(bytes);
    } catch (const printer::SendFailure& failure) {
        return { failure.delivered(), failure.message() };
    }
    return { bytes.size(), {} };
}

} // namespace diagnostics
