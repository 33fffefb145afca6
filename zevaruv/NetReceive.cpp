// Receiving on the library's connection: a bounded wait for the first byte, then whatever has
// arrived.
#include "zevaruv/NetConnection.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace zevaruv {

std::optional<std::size_t> NetConnection::receive(
    std::uint8_t* buffer, std::size_t size, int waitMs, const Waiting& waiting)
{
    if (!m_socket.valid())
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        // Waiting first: a reply is rarely there the moment after its question went out.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry { m_socket.get(), POLLIN, 0 };
        const int ready = ::poll(&entry, 1,
            static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, waitSlice.count())));
        if (ready < 0 && errno != EINTR)
            return std::nullopt;
        if (ready > 0) {
            const ssize_t got = ::recv(m_socket.get(), buffer, size, MSG_DONTWAIT);
            if (got > 0)
                return static_cast<std::size_t>(got);
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                return std::nullopt; // closed by the peer, or failed
        }
        if (ready == 0 && left.count() <= 0)
            return std::size_t { 0 };
        if (ready == 0)
            waiting();
    }
}

} // namespace zevaruv
