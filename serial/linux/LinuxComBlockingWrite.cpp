#include "serial/linux/LinuxComBlockingWrite.h"

#include <cerrno>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace cport {

namespace {

using Clock = std::chrono::steady_clock;

// How long a blocked write goes at most before it looks at its limit and abort again.
constexpr std::chrono::milliseconds slice(20);

// Ends the blocked write it interrupts; nothing else.
void onTick(int) { }

// Installs the handler, without SA_RESTART so a blocked write returns; refuses a signal the
// program already uses for something else.
bool signalIsOurs()
{
    static std::once_flag once;
    static bool ours = false;
    std::call_once(once, [] {
        struct sigaction current { };
        if (::sigaction(blockingWriteSignal, nullptr, &current) != 0
            || current.sa_handler != SIG_DFL)
            return;
        struct sigaction action { };
        action.sa_handler = onTick;
        sigemptyset(&action.sa_mask);
        ours = ::sigaction(blockingWriteSignal, &action, nullptr) == 0;
    });
    return ours;
}

timespec toTimespec(std::chrono::nanoseconds ns)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(ns);
    return { time_t(seconds.count()), long((ns - seconds).count()) };
}

// The calling thread's timer, made on first use and deleted with the thread.
class ThreadTimer {
public:
    ThreadTimer()
    {
        if (!signalIsOurs())
            return;
        sigevent event {};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = blockingWriteSignal;
        event._sigev_un._tid = ::gettid();
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, blockingWriteSignal);
        m_ok = ::timer_create(CLOCK_MONOTONIC, &event, &m_timer) == 0
            && ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr) == 0;
    }
    ~ThreadTimer()
    {
        if (m_ok)
            ::timer_delete(m_timer);
    }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;
    bool ok() const { return m_ok; }

    // Ticks every slice from `first` on: a tick that comes just before a write begins is
    // followed by another.
    void arm(Clock::time_point first)
    {
        itimerspec when {};
        when.it_value = toTimespec(first.time_since_epoch());
        when.it_interval = toTimespec(slice);
        ::timer_settime(m_timer, TIMER_ABSTIME, &when, nullptr);
    }
    // No tick comes after this returns, so no other system call of the thread is interrupted.
    void disarm()
    {
        const itimerspec stopped {};
        ::timer_settime(m_timer, 0, &stopped, nullptr);
    }

private:
    timer_t m_timer {};
    bool m_ok = false;
};

ThreadTimer& threadTimer()
{
    static thread_local ThreadTimer timer;
    return timer;
}

} // namespace

bool blockingWritesAvailable()
{
    return threadTimer().ok();
}

int writeBlocking(int fd, const char* bytes, std::size_t count,
    const std::optional<Clock::time_point>& deadline, const std::function<bool()>& keepGoing,
    std::size_t& written)
{
    written = 0;
    ThreadTimer& timer = threadTimer();
    const auto firstTick = Clock::now() + slice;
    timer.arm(deadline ? std::min(*deadline, firstTick) : firstTick);
    int error = 0;
    while (written < count && keepGoing() && !(deadline && Clock::now() >= *deadline)) {
        const ssize_t n = ::write(fd, bytes + written, count - written);
        if (n > 0) {
            written += std::size_t(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
            break;
        }
    }
    timer.disarm();
    return error;
}

} // namespace cport
