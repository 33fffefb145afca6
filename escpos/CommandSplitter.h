#pragma once

#include "escpos/Command.h"

#include <functional>
#include <string>
#include <string_view>

namespace escpos {

// Splits an ESC/POS byte stream into commands, whatever the chunking of the bytes it is fed:
// a command cut between two chunks is kept until it is whole. Unknown commands are yielded and
// skipped without losing step; a command whose data is too large is yielded by its header and
// its data skipped as it arrives, never kept.
class CommandSplitter {
public:
    using Sink = std::function<void(const Command&)>;
    explicit CommandSplitter(Sink sink);

    // Yields every command the bytes complete. Text is yielded as it arrives, so a run of text
    // cut between chunks comes in two pieces.
    void feed(std::string_view bytes);
    // The stream has ended: a command still incomplete is yielded as Truncated.
    void finish();
    // The bytes of an incomplete command kept until the rest arrives.
    std::size_t pendingBytes() const { return m_pending.size(); }

private:
    // One command's outcome: `used` bytes consumed, or 0 when at least `need` bytes are needed
    // (the whole command's length when `totalKnown`).
    struct Split {
        std::size_t used;
        std::uint64_t need;
        bool totalKnown;
    };
    std::size_t splitRun(const unsigned char* data, std::size_t size);
    Split splitOne(const unsigned char* p, std::size_t available);
    void feedPending(std::string_view& bytes);

    Sink m_sink;
    std::string m_pending; // an incomplete command's bytes so far
    std::uint64_t m_skip = 0; // data bytes of an oversized command still to skip
    CommandCode m_skipCode = 0;
};

} // namespace escpos
