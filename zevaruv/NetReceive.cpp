// Receiving on the library's connection: a bounded wait for the first byte, then whatever has
// arrived.
#include "zevaruv/NetConnection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>

namespace zevaruv {

std::optional<std::size_t> NetConnection::receive(
    std::uint8_t* buffer, std::size_t size, int waitMs)
{
    if (m_socket < 0)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const ssize_t got = ::recv(m_socket, buffer, size, MSG_DONTWAIT);
        if (got > 0)
            return static_cast<std::size_t>(got);
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return std::nullopt; // closed by the peer, or failed
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::size_t { 0 };
        pollfd entry { m_socket, POLLIN, 0 };
        if (::poll(&entry, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return std::nullopt;
    }
}

} // namespace zevaruv
