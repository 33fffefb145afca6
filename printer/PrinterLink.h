#pragma once
// A two-way connection to the printer for status queries: open, send, receive up to some bytes
// before a deadline, close. One kind per connection choice (SerialLink, NetworkLink,
// ParallelLink); every byte that passes either way is told to an observer, which the
// diagnostics pane uses for its transcript.

#include "printer/LptKernelView.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace printer {

enum class Direction { Sent, Received };
using TrafficObserver = std::function<void(Direction direction, std::string_view bytes)>;

class PrinterLink {
public:
    virtual ~PrinterLink() = default;
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    void setObserver(TrafficObserver observer) { m_observer = std::move(observer); }

    // Sends every byte (zero bytes included); a failure or a partial send is raised.
    void send(const std::string& bytes);
    // Waits up to `limit` for the first byte, then returns what has arrived (at most maxBytes;
    // more that came at once is told to the observer and dropped); empty when nothing came in
    // time or nothing can come back on this connection.
    std::string receive(std::size_t maxBytes, std::chrono::milliseconds limit);
    // Drops what already waits, so a late answer to an earlier question is not taken for the
    // answer to the next one. Looks only when something can be waiting: on a new link, and after
    // a receive that got other than it asked for. (A printer's unasked automatic status, which
    // Quillet never turns on, shows as "not an ESC/POS status": its bit 1 is clear.)
    void discardPending();

    // What the operating system's driver knows about the printer, for links that go through
    // one (parallel and USB printers); nullopt otherwise.
    virtual std::optional<LptKernelView> kernelView() const { return std::nullopt; }
    // Whether anything can come back on this connection (a FIFO written one way cannot).
    virtual bool canAnswer() const { return true; }

protected:
    PrinterLink() = default;
    virtual void write(const std::string& bytes) = 0;
    virtual std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) = 0;

private:
    void tell(Direction direction, std::string_view bytes) const;

    TrafficObserver m_observer;
    bool m_mayHoldStale = true;
};

} // namespace printer
