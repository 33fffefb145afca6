#pragma once
// Keeps a write to a pipe whose reader has gone from killing the program: while an instance
// lives, SIGPIPE is blocked in this thread, so the write fails with EPIPE instead; a SIGPIPE
// raised meanwhile is discarded when the instance goes.

#include <signal.h>

namespace printer {

class SigpipeBlock {
public:
    SigpipeBlock();
    ~SigpipeBlock();
    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;

private:
    sigset_t m_previousMask;
    bool m_wasPending;
};

} // namespace printer
