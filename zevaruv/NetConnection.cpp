#include "zevaruv/NetConnection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace zevaruv {

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, at least 0.
int remainingMs(Clock::time_point deadline)
{
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the socket is writable; false when the deadline passes first.
bool waitWritable(int socket, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry { socket, POLLOUT, 0 };
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

bool NetConnection::open(const std::string& address, std::uint16_t port, int connectMs)
{
    close();
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1)
        return false;

    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(connectMs);
    int result = ::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (result != 0 && errno == EINPROGRESS && waitWritable(socket, deadline)) {
        int error = 0;
        socklen_t size = sizeof error;
        result
            = ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0 ? 0 : -1;
    }
    if (result != 0) {
        ::close(socket);
        return false;
    }
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) & ~O_NONBLOCK);
    m_socket = socket;
    return true;
}

std::size_t NetConnection::send(const std::uint8_t* data, std::size_t length, int sendMs)
{
    if (m_socket < 0)
        return 0;
    // Blocking sends bounded by SO_SNDTIMEO move a large text in one call; the limit is
    // renewed with what is left of the whole send's time before each call.
    const auto deadline = Clock::now() + std::chrono::milliseconds(sendMs);
    std::size_t sent = 0;
    while (sent < length) {
        const int left = remainingMs(deadline);
        if (left == 0)
            break;
        const timeval limit { left / 1000, (left % 1000) * 1000 };
        ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        const ssize_t written = ::send(m_socket, data + sent, length - sent, MSG_NOSIGNAL);
        if (written > 0)
            sent += static_cast<std::size_t>(written);
        else if (written == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            break;
    }
    return sent;
}

void NetConnection::close()
{
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

} // namespace zevaruv
