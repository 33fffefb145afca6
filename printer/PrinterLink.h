#pragma once
// A two-way connection to the printer for status queries: open, send, ask a question and wait
// for its reply, close. One kind per connection choice (SerialLink, NetworkLink, ParallelLink);
// every byte that passes either way is told to an observer, which the diagnostics pane uses for
// its transcript, with a note on what each received byte was (the reply to which question, a
// late reply, stray bytes) and on a send that failed.

#include "platform/Exception.h"
#include "printer/LptKernelView.h"
#include "printer/PrinterLinkReplies.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printer {

enum class Direction { Sent, Received };
// The note is empty for plain traffic; otherwise it says what the bytes were or what failed.
using TrafficObserver
    = std::function<void(Direction direction, std::string_view bytes, std::string_view note)>;

// A send that stopped part-way: the transport's message and how many bytes it reports as
// delivered (acknowledged by a network printer, written to a serial or parallel device).
class SendFailure : public platform::Exception {
public:
    SendFailure(std::string message, std::size_t delivered)
        : Exception(std::move(message))
        , m_delivered(delivered)
    {
    }
    std::size_t delivered() const { return m_delivered; }

private:
    std::size_t m_delivered;
};

// "Send error after 100 000 of 10 611 230 bytes"; "Connect error: none of 4 bytes delivered".
std::string failureNote(const std::string& failure, std::size_t delivered, std::size_t total);

class PrinterLink {
public:
    virtual ~PrinterLink() = default;
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    void setObserver(TrafficObserver observer) { m_observer = std::move(observer); }
    // Told every automatic status message the link sorts out, whatever it was doing (asking,
    // listening), before the observer hears of it.
    void setAutoStatusSink(std::function<void(const std::string& message)> sink)
    {
        m_autoStatusSink = std::move(sink);
    }
    // Asked between wait slices: true ends the wait at once by raising platform::EAbort.
    void setCancelled(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

    // Sends every byte (zero bytes included). A failure is raised as the transport raised it,
    // after the observer was told the bytes delivered and the failure.
    void send(const std::string& bytes);
    // What came back for a question: the reply that fits it (nullopt when none came in time or
    // nothing can come back on this connection), and stray bytes that came while it waited.
    struct Reply {
        std::optional<std::string> answer;
        std::string unfit;
    };
    // Sends a question (DLE EOT n, GS I n) and waits up to `limit` for the reply that fits it.
    // Bytes that wait before the question goes out, and bytes that do not fit it, are sorted as
    // late replies to earlier questions or stray bytes, never taken for its answer.
    Reply ask(const std::string& question, std::chrono::milliseconds limit);

    // Sends GS a n, after reading away what waited: from then on the printer's automatic status
    // messages are told apart from other bytes (also after n = 0 turned them off, for those
    // already on their way).
    void chooseAutoStatus(std::uint8_t bits);
    // The automatic status messages that arrive within `limit` (4 bytes each), oldest first.
    std::vector<std::string> listen(std::chrono::milliseconds limit);

    // Late replies and stray bytes seen on this link so far.
    std::size_t lateReplies() const { return m_replies.lateReplies(); }
    std::size_t strayBytes() const { return m_replies.strayBytes(); }

    // What the operating system's driver knows about the printer, for links that go through
    // one (parallel and USB printers); nullopt otherwise.
    virtual std::optional<LptKernelView> kernelView() const { return std::nullopt; }
    // Whether anything can come back on this connection (a FIFO written one way cannot).
    virtual bool canAnswer() const { return true; }
    // Whether the printer has closed the connection: nothing more will come back.
    virtual bool hungUp() const { return false; }

protected:
    PrinterLink() = default;
    // Raises on failure, a SendFailure where the transport knows how much got through.
    virtual void write(const std::string& bytes) = 0;
    virtual std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) = 0;

private:
    // Reads what has arrived within `limit` and sorts it, adding stray bytes to `stray` and
    // automatic status messages to `messages`; false when nothing came.
    bool receive(std::chrono::milliseconds limit, std::string* stray = nullptr,
        std::vector<std::string>* messages = nullptr);
    void dropWaiting();
    void tell(Direction direction, std::string_view bytes, std::string_view note = {}) const;

    TrafficObserver m_observer;
    std::function<void(const std::string&)> m_autoStatusSink;
    std::function<bool()> m_cancelled;
    ReplySorter m_replies;
    bool m_fresh = true; // nothing asked yet: what the link found waiting is stale
};

} // namespace printer
