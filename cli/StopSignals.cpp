#include "cli/StopSignals.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace cli {

namespace {

sigset_t stopSet()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

StopSignals::StopSignals()
{
    const sigset_t signals = stopSet();
    pthread_sigmask(SIG_BLOCK, &signals, &m_before);
    m_signals.reset(signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC));
}

StopSignals::~StopSignals()
{
    pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
}

bool StopSignals::arrived()
{
    signalfd_siginfo info;
    while (m_signals.valid() && ::read(m_signals.get(), &info, sizeof info) == sizeof info)
        m_arrived = true;
    return m_arrived;
}

} // namespace cli
