#include "printer/SigpipeBlock.h"

#include <ctime>
#include <pthread.h>

namespace printer {

namespace {

sigset_t sigpipeSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool sigpipePending()
{
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

SigpipeBlock::SigpipeBlock()
{
    const sigset_t set = sigpipeSet();
    pthread_sigmask(SIG_BLOCK, &set, &m_previousMask);
    m_wasPending = sigpipePending();
}

SigpipeBlock::~SigpipeBlock()
{
    if (!m_wasPending && sigpipePending()) {
        const sigset_t set = sigpipeSet();
        const timespec noWait {};
        sigtimedwait(&set, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

} // namespace printer
