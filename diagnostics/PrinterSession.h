#pragma once
// The pane's dealings with the printer, without widgets: questions over the chosen connection,
// presses through a serial port kept open between them, and every byte told to the transcript.

#include "printer/PrinterConnection.h"
#include "printer/PrinterQueries.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace diagnostics {

class PrinterSession {
public:
    PrinterSession(const printer::PrinterConnection& connection, printer::TrafficObserver observer);
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    std::chrono::milliseconds answerLimit() const { return m_answerLimit; }
    void setAnswerLimit(std::chrono::milliseconds limit) { m_answerLimit = limit; }

    // With COM chosen, opens the serial port and leaves it open until releasePort (or until
    // switched off); returns whether the port is now held open. Errors of the port are raised.
    bool setKeepPortOpen(bool keep);
    bool keepPortOpen() const { return m_keepPortOpen; }
    // Whether a press now goes through the held-open port rather than the ordinary transport.
    bool holdsPort() const;
    // Closes the held-open port; keepPortOpen stays as set.
    void releasePort();
    // The serial port the session holds open (the window's port object).
    cport::TCustomComPort& heldPort() const { return m_connection.comPort(); }

    // Every question: DLE EOT 1 to 4, GS I 1 to 3, the driver's view where there is one.
    printer::PrinterReport queryStatus();
    // A press: the bytes go through the held-open port when there is one, otherwise through
    // `ordinarySend` (the window's transport) and are then recorded as sent. With statusAfter
    // the printer is asked DLE EOT 1 and 4 afterwards.
    std::optional<printer::PrinterReport> press(const std::string& bytes, bool statusAfter,
        const std::function<void(const std::string&)>& ordinarySend);

private:
    std::unique_ptr<printer::PrinterLink> openLink();

    const printer::PrinterConnection& m_connection;
    printer::TrafficObserver m_observer;
    std::chrono::milliseconds m_answerLimit = printer::kDefaultAnswerLimit;
    bool m_keepPortOpen = false;
    bool m_portHeld = false;
};

} // namespace diagnostics
