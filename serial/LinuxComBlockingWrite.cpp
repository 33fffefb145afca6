#include "serial/LinuxComBlockingWrite.h"

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

// The calling thread's timer, and what its signal handler needs to know (plain values: they
// are read inside the handler).
thread_local timer_t t_timer {};
thread_local volatile sig_atomic_t t_running = 0; // the timer ticks
thread_local volatile sig_atomic_t t_writing = 0; // the thread is inside writeBlocking

const itimerspec stopped {};

// A tick that finds the thread no longer writing stops the timer: a run of writes arms it
// once, and it ends by itself one slice after the last of them.
void onTick(int)
{
    const int saved = errno;
    if (!t_writing && t_running) {
        ::timer_settime(t_timer, 0, &stopped, nullptr);
        t_running = 0;
    }
    errno = saved;
}

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

// Makes the calling thread's timer on first use and deletes it with the thread.
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
        m_ok = ::timer_create(CLOCK_MONOTONIC, &event, &t_timer) == 0
            && ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr) == 0;
    }
    ~ThreadTimer()
    {
        if (m_ok)
            ::timer_delete(t_timer);
    }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

bool threadTimerReady()
{
    static thread_local ThreadTimer timer;
    return timer.ok();
}

// Ticks every slice from `first` on; a tick that comes just before a write begins is followed
// by another.
void arm(Clock::time_point first)
{
    itimerspec when {};
    when.it_value = toTimespec(first.time_since_epoch());
    when.it_interval = toTimespec(slice);
    t_running = 1;
    ::timer_settime(t_timer, TIMER_ABSTIME, &when, nullptr);
}

} // namespace

bool blockingWritesAvailable()
{
    return threadTimerReady();
}

int writeBlocking(int fd, const char* bytes, std::size_t count,
    const std::optional<Clock::time_point>& deadline, const std::function<bool()>& keepGoing,
    std::size_t& written)
{
    written = 0;
    int error = 0;
    t_writing = 1;
    while (written < count && keepGoing()) {
        const auto now = Clock::now();
        if (deadline && now >= *deadline)
            break;
        // The limit ends sooner than a tick would come: the first tick comes at the limit.
        if (deadline && *deadline < now + slice)
            arm(*deadline);
        else if (!t_running)
            arm(now + slice);
        const ssize_t n = ::write(fd, bytes + written, count - written);
        if (n > 0) {
            written += std::size_t(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
            break;
        }
    }
    t_writing = 0;
    return error;
}

} // namespace cport
