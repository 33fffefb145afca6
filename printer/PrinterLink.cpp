#include "printer/PrinterLink.h"

#include "printer/PressWait.h"

#include <algorithm>

namespace printer {

namespace {

// Enough for any burst a receipt printer sends unasked (automatic status back).
constexpr std::size_t kDiscardChunk = 256;
constexpr std::size_t kReadAhead = 64;
constexpr int kDiscardRounds = 16;

} // namespace

void PrinterLink::send(const std::string& bytes)
{
    // Told before the write, so a transcript shows what was attempted when the write fails.
    tell(Direction::Sent, bytes);
    write(bytes);
}

std::string PrinterLink::receive(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    // Waited for in slices, so the window can repaint between them (the press's wait hook).
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        // Reading ahead shows a printer that said more than it was asked: what is beyond the
        // answer is dropped, and the next question first looks for more of it.
        std::string bytes = read(std::max(maxBytes, kReadAhead),
            std::clamp(left, std::chrono::milliseconds(0), waitSlice));
        if (!bytes.empty()) {
            tell(Direction::Received, bytes);
            // Other than was asked for: the rest may still come, after the caller has moved on.
            m_mayHoldStale = bytes.size() != maxBytes;
            bytes.resize(std::min(bytes.size(), maxBytes));
            return bytes;
        }
        if (left <= waitSlice || !canAnswer()) {
            m_mayHoldStale = true; // an answer that comes late would be taken for the next one
            return bytes;
        }
        keepWaiting();
    }
}

void PrinterLink::discardPending()
{
    // Only a late answer (or what the link found waiting when it opened) can be there; after a
    // complete answer the next question goes out at once. Bounded, so a printer that chatters
    // without end cannot hold the caller here.
    for (int round = 0; m_mayHoldStale && round < kDiscardRounds; ++round)
        if (receive(kDiscardChunk, std::chrono::milliseconds(0)).empty())
            break;
    m_mayHoldStale = false;
}

void PrinterLink::tell(Direction direction, std::string_view bytes) const
{
    if (m_observer)
        m_observer(direction, bytes);
}

} // namespace printer
