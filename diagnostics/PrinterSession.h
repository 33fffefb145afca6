#pragma once
// The pane's dealings with the printer, without widgets: questions over the chosen connection,
// presses through a serial port kept open between them, and every byte told to the transcript.

#include "printer/LineFlow.h"
#include "printer/LinkListener.h"
#include "printer/PrinterConnection.h"
#include "printer/PrinterQueries.h"
#include "printer/RecoveryRequests.h"
#include "printer/SendToPrinter.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace diagnostics {

class PrinterSession {
public:
    using Clock = std::chrono::system_clock;
    // Where the traffic goes: what passed, a note on it, and the time it is shown at.
    using Recorder = std::function<void(printer::Direction direction, std::string_view bytes,
        std::string_view note, Clock::time_point time)>;
    using OrdinarySend = std::function<printer::Delivery(const std::string& bytes)>;
    // Opens a link to a printer the pane chose itself (a USB printer), in place of the window's.
    using LinkSource = std::function<std::unique_ptr<printer::PrinterLink>()>;

    PrinterSession(const printer::PrinterConnection& connection, Recorder recorder);
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    std::chrono::milliseconds answerLimit() const { return m_answerLimit; }
    void setAnswerLimit(std::chrono::milliseconds limit) { m_answerLimit = limit; }
    // Asked between the wait slices of a question: true ends it at once (platform::EAbort).
    void setCancelled(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

    // With COM chosen, opens the serial port and leaves it open until releasePort (or until
    // switched off); returns whether the port is now held open. Errors of the port are raised.
    bool setKeepPortOpen(bool keep);
    bool keepPortOpen() const { return m_keepPortOpen; }
    // Whether the chosen connection has a port to hold open (COM).
    bool canHoldPort() const
    {
        return !m_linkSource && m_connection.isChecked(printer::Connection::Com);
    }
    // With a source, every question and press goes to its printer instead of the window's
    // connection (the caller stops a watch and a held-open port first); nullptr goes back.
    void setLinkSource(LinkSource source) { m_linkSource = std::move(source); }
    bool hasLinkSource() const { return static_cast<bool>(m_linkSource); }
    // Whether a press now goes through the held-open port rather than the ordinary transport.
    bool holdsPort() const;
    // Closes the held-open port; keepPortOpen stays as set.
    void releasePort();
    const printer::PrinterConnection& connection() const { return m_connection; }
    // The serial port the session holds open (the window's port object).
    cport::TCustomComPort& heldPort() const { return m_connection.comPort(); }

    // A link of its own to the printer in use (the pane's own or the window's), without the
    // transcript; errors of opening it are raised.
    std::unique_ptr<printer::PrinterLink> plainLink();

    // Every question: DLE EOT 1 to 4, GS I 1 to 3, the driver's view where there is one. A
    // held-open port that fails is closed, so the next question opens it afresh.
    printer::PrinterReport queryStatus();

    // GS r 1 and 2, GS I 65 to 69.
    printer::PrinterReport queryDetails();
    // Sends the request, then asks every question again (the result read back).
    printer::PrinterReport recover(printer::RecoveryRequest request);

    // Automatic status back: a link of its own stays open with the chosen GS a bits, a thread
    // listens on it, and every question and press goes through it meanwhile. `wake` is called,
    // on any thread, when something was heard: the owner then calls takeHeard on its own.
    void startWatch(std::uint8_t bits, std::function<void()> wake);
    // Sends GS a 0 and closes the watch's link; failures are not raised (the link may be gone).
    void stopWatch();
    bool watching() const { return m_watch != nullptr; }
    // Why the watch stopped listening by itself; empty while it listens (or is off).
    std::string watchStopped() const { return m_watch ? m_watch->stopped() : std::string(); }
    // Hands what the watch heard to the transcript and the automatic status handler.
    void takeHeard();
    using AutoStatusHandler
        = std::function<void(const std::string& message, Clock::time_point time)>;
    void setAutoStatusHandler(AutoStatusHandler handler) { m_autoStatus = std::move(handler); }

    struct PressResult {
        printer::Delivery delivery;
        std::optional<printer::PrinterReport> report; // the status asked after the press
        std::vector<std::string> autoStatus; // the automatic status messages while it ran
    };
    // A press: the bytes go through the held-open port when there is one, otherwise through
    // `ordinarySend` (the window's transport). The transcript gets what the transport delivered,
    // timed at the press, and the failure that stopped it; failures raised are raised again.
    // With statusAfter and every byte delivered, DLE EOT 1 and 4 are asked afterwards.
    PressResult press(const std::string& bytes, bool statusAfter, const OrdinarySend& ordinarySend);

    // Sends bytes through a serial port of the session's own on the window's device, with the
    // chosen flow control; `watch` is shown the port while it is open (and nullptr after).
    // Errors of the port are raised; a port the session holds open must be released first.
    printer::Delivery sendOnOwnPort(const std::string& bytes, printer::LineFlow flow,
        const std::function<void(cport::TCustomComPort*)>& watch);

private:
    std::unique_ptr<printer::PrinterLink> openLink();
    // Runs work(link) on the watch's link when watching, otherwise on a link opened for it.
    template <typename Work> auto withLink(Work work);
    // Runs work on the held-open port; a failure (the device gone) closes the port first.
    template <typename Work> auto onHeldPort(Work work);
    void record(const std::string& bytes, const printer::Delivery& delivery, Clock::time_point at);

    const printer::PrinterConnection& m_connection;
    Recorder m_recorder;
    std::function<bool()> m_cancelled;
    LinkSource m_linkSource;
    std::chrono::milliseconds m_answerLimit = printer::kDefaultAnswerLimit;
    std::optional<Clock::time_point> m_pressTime; // sent bytes are shown at it while set
    bool m_keepPortOpen = false;
    bool m_portHeld = false;
    std::unique_ptr<printer::LinkListener> m_watch;
    AutoStatusHandler m_autoStatus;
    std::vector<std::string>* m_jobMessages = nullptr; // collects messages while a press runs
};

} // namespace diagnostics
