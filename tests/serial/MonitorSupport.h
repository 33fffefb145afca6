#pragma once
// Helpers for tests of event delivery: the test's main thread owns the ports and runs the
// queued deliveries itself.

#include "serial/core/ComSyncQueue.h"

#include <chrono>
#include <functional>

namespace serialtest {

// Runs deliveries for this thread until `condition` holds or a generous bound has passed;
// returns the condition.
inline bool deliverUntil(const std::function<bool()>& condition,
    std::chrono::milliseconds bound = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        cport::waitForSyncCalls(std::chrono::milliseconds(20));
    }
    return true;
}

// Runs whatever arrives for this thread during `quiet`.
inline int deliverFor(std::chrono::milliseconds quiet)
{
    int ran = 0;
    const auto until = std::chrono::steady_clock::now() + quiet;
    while (std::chrono::steady_clock::now() < until)
        ran += cport::waitForSyncCalls(std::chrono::milliseconds(10));
    return ran;
}

} // namespace serialtest
