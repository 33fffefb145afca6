#include "PtyPair.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace serialtest {

PtyPair::PtyPair()
{
    char name[128];
    termios raw {};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_master.reset(master);
    m_slave.reset(slave);
    m_slavePath = name;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
}

void PtyPair::hangUp()
{
    m_master.reset();
    m_slave.reset();
}

void PtyPair::send(const std::string& bytes) const
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master.get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p { m_master.get(), POLLOUT, 0 };
            ::poll(&p, 1, 1000);
        } else if (!(n < 0 && errno == EINTR)) {
            throw std::runtime_error("write to the pty master failed");
        }
    }
}

std::string PtyPair::receive(std::size_t count, std::chrono::milliseconds patience) const
{
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    char buffer[65536];
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p { m_master.get(), POLLIN, 0 };
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        const ssize_t n
            = ::read(m_master.get(), buffer, std::min(sizeof buffer, count - out.size()));
        if (n > 0)
            out.append(buffer, std::size_t(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

std::string PtyPair::receiveAvailable(std::chrono::milliseconds quiet) const
{
    std::string out;
    char buffer[65536];
    for (;;) {
        pollfd p { m_master.get(), POLLIN, 0 };
        if (::poll(&p, 1, int(quiet.count())) <= 0)
            return out;
        const ssize_t n = ::read(m_master.get(), buffer, sizeof buffer);
        if (n <= 0)
            return out;
        out.append(buffer, std::size_t(n));
    }
}

} // namespace serialtest
