#include "platform/EventFd.h"

#include <cstdint>
#include <sys/eventfd.h>

namespace platform {

EventFd::EventFd()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_error(m_fd.valid() ? 0 : errno)
{
}

void EventFd::signal() const
{
    const std::uint64_t one = 1;
    // EAGAIN means the counter is at its limit: a signal is pending already, which is all a
    // waiter needs to know.
    while (::write(m_fd.get(), &one, sizeof one) < 0 && errno == EINTR) { }
}

bool EventFd::drain() const
{
    std::uint64_t count = 0;
    ssize_t got;
    do
        got = ::read(m_fd.get(), &count, sizeof count);
    while (got < 0 && errno == EINTR);
    return got == sizeof count && count > 0;
}

} // namespace platform
