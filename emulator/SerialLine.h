#pragma once

#include "emulator/LostLines.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace emulator {

// How the sender on the serial line is kept from overfilling the receive buffer.
enum class FlowControl {
    Hardware, // the sender is held while the buffer is full (nothing is read, nothing lost)
    None, // everything is read as it comes; what the full buffer has no room for is lost
    XonXoff, // XOFF is sent when the buffer nears full, XON when it has drained
};

// The pty's line as a serial printer sees it: a receive buffer of a fixed size, filled as fast
// as the sender writes, emptied by printing (at most `drainRate` bytes a second; 0: as fast as it
// comes), with the flow control chosen. The caller reads at most room() bytes, hands them to
// receive() and keeps what it returns, and sends flowByte() when there is one.
class SerialLine {
public:
    using Clock = std::chrono::steady_clock;
    SerialLine(FlowControl flow, std::size_t bufferBytes, int drainRate);

    // Bytes to read now, with `buffered` bytes in the buffer.
    std::size_t room(std::size_t buffered, std::size_t chunk) const;
    // Bytes read: how many of them the buffer keeps (the first ones); the rest are lost.
    std::size_t receive(std::string_view bytes, std::size_t buffered);
    // XOFF (0x13) or XON (0x11) when the buffer crossed a mark since the last one sent; else 0.
    char flowByte(std::size_t buffered);
    // Bytes that may be printed now; printed() takes them from the allowance.
    std::size_t printable(Clock::time_point now);
    void printed(std::size_t bytes) { m_credit -= static_cast<double>(bytes); }
    // Milliseconds until printing may go on, or -1 when it need not wait.
    int waitMs() const;
    // What was lost since the last report (see LostLines), or empty.
    std::string lossReport(bool ended = false) { return m_lost.report(ended); }

private:
    FlowControl m_flow;
    std::size_t m_bufferBytes;
    int m_drainRate;
    double m_credit = 0; // bytes that may be printed; below 0 after a long command
    Clock::time_point m_lastDrain = Clock::now();
    bool m_stopped = false; // XOFF was sent last
    LostLines m_lost;
};

} // namespace emulator
