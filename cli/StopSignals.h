#pragma once
// Ctrl-C (SIGINT) and SIGTERM taken as a request to stop, for as long as an object of this
// class lives: they are blocked and read from a signal descriptor, so a long run (status
// --watch) can end as its time would end it, and the mask is as before once it is gone.

#include "platform/FileDescriptor.h"

#include <csignal>

namespace cli {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Whether one of the signals has come since the object was made.
    bool arrived();

private:
    sigset_t m_before;
    platform::FileDescriptor m_signals;
    bool m_arrived = false;
};

} // namespace cli
