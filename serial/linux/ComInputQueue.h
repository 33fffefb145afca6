#pragma once
// The port's own input queue. Raw bytes from the terminal (with PARMRK marks for breaks and
// bad bytes) are unmarked, filtered and stored here, so that received-byte events, the event
// character, the 80 % mark, DiscardNull and the parity replace character behave exactly.
// Not thread-safe: the device guards it with its own lock.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cport {

// What the queue does with received bytes.
struct TInputRules {
    bool checkParity = false; // marked bytes count as parity errors
    bool replaceErrors = false; // a marked byte is stored as replaceChar
    char replaceChar = 0;
    bool discardNull = false; // zero bytes are dropped
    char eventChar = 0;
    bool errorsFromCounters = false; // the device counts breaks and errors itself: marks only strip
};

// What one append found.
struct TInputFindings {
    bool stored = false; // at least one byte was stored
    bool eventChar = false; // the event character was stored
    bool reached80 = false; // the fill crossed 80 % of the capacity
    bool lineBreak = false; // a break was received
    std::uint32_t errors = 0; // CE_* flags
};

class TComInputQueue {
public:
    explicit TComInputQueue(std::size_t capacity = 1024);

    // Bytes already queued are kept, even beyond a smaller capacity.
    void setCapacity(std::size_t capacity);
    std::size_t capacity() const { return m_capacity; }
    std::size_t size() const { return m_size; }
    // How many raw bytes may be appended without overflowing (each yields at most one byte).
    std::size_t space() const { return m_size < m_capacity ? m_capacity - m_size : 0; }
    // Drops the queued bytes and any half-read mark.
    void clear();

    TInputFindings append(const char* raw, std::size_t count, const TInputRules& rules);
    // Moves up to `count` bytes to `destination`; returns how many.
    std::size_t take(char* destination, std::size_t count);

private:
    void store(char byte, const TInputRules& rules, TInputFindings& findings);
    void grow();

    std::vector<char> m_ring;
    std::size_t m_head = 0;
    std::size_t m_size = 0;
    std::size_t m_capacity;
    int m_markState = 0; // 0 plain, 1 after 0xFF, 2 after 0xFF 0x00
};

} // namespace cport
