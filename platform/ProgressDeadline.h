#pragma once
// A time limit that counts only time without progress: a transfer to a slow device that keeps
// taking bytes is never cut off, one that takes nothing for the whole limit is. Header-only, so
// the network library uses it without linking anything.

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace platform {

class ProgressDeadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressDeadline(std::chrono::milliseconds limit)
        : m_limit(limit)
        , m_lastProgress(Clock::now())
    {
    }

    // Notes how much is done in all so far; more than at the last note starts the limit anew.
    void note(std::uint64_t done)
    {
        if (done > m_done) {
            m_done = done;
            m_lastProgress = Clock::now();
        }
    }

    std::uint64_t done() const { return m_done; }
    bool expired() const { return Clock::now() - m_lastProgress >= m_limit; }

    // Milliseconds until the limit runs out, at most `cap` and at least 0, for poll().
    int waitMs(std::chrono::milliseconds cap) const
    {
        const auto left
            = std::chrono::ceil<std::chrono::milliseconds>(m_lastProgress + m_limit - Clock::now());
        return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, cap.count()));
    }

private:
    std::chrono::milliseconds m_limit;
    Clock::time_point m_lastProgress;
    std::uint64_t m_done = 0;
};

} // namespace platform
