#include "zevaruv/NetConnection.h"

#include "platform/ProgressDeadline.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>

namespace zevaruv {

namespace {

using Clock = std::chrono::steady_clock;

// The longest pause between two looks at the acknowledgements still awaited.
// A printer on a fast link acknowledges within a millisecond or two: so long, the sender only
// yields between looks (a sleep would cost more than the whole wait).
constexpr std::chrono::milliseconds ackSpin(2);
constexpr std::chrono::milliseconds maxAckPause(16);

// Milliseconds left until deadline, at least 0.
int remainingMs(Clock::time_point deadline)
{
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the socket is writable; false when the deadline passes first.
bool waitWritable(int socket, Clock::time_point deadline, const Waiting& waiting)
{
    for (;;) {
        pollfd entry { socket, POLLOUT, 0 };
        const int left = remainingMs(deadline);
        const int ready = ::poll(&entry, 1, std::min(left, int(waitSlice.count())));
        if (ready > 0)
            return true;
        if ((ready < 0 && errno != EINTR) || left == 0)
            return false;
        waiting();
    }
}

} // namespace

bool NetConnection::open(
    const std::string& address, std::uint16_t port, int connectMs, const Waiting& waiting)
{
    close();
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1)
        return false;

    platform::FileDescriptor socket(
        ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(connectMs);
    int result = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (result != 0 && errno == EINPROGRESS && waitWritable(socket.get(), deadline, waiting)) {
        int error = 0;
        socklen_t size = sizeof error;
        result = ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0
            ? 0
            : -1;
    }
    if (result != 0)
        return false;
    // The socket stays non-blocking: every wait is a poll() that returns to the caller's
    // callback in time.
    m_socket = std::move(socket);
    return true;
}

std::size_t NetConnection::send(
    const std::uint8_t* data, std::size_t length, int sendMs, const Waiting& waiting)
{
    if (!m_socket.valid())
        return 0;
    // Progress is any byte the kernel takes or the peer acknowledges; the limit counts only the
    // time without either.
    platform::ProgressDeadline progress { std::chrono::milliseconds(sendMs) };
    const std::uint64_t before = m_written;
    std::size_t sent = 0;
    const auto acknowledged = [&] {
        const std::uint64_t all = m_written - std::min<std::uint64_t>(m_written, unacknowledged());
        return static_cast<std::size_t>(
            std::clamp<std::uint64_t>(all - std::min(all, before), 0, sent));
    };
    auto ackPause = std::chrono::milliseconds(1);
    std::optional<Clock::time_point> allSent;
    for (;;) {
        const std::size_t acked = acknowledged();
        progress.note(sent + acked);
        if (acked == length)
            return acked;
        if (progress.expired())
            return acked;
        if (sent < length) {
            const ssize_t written
                = ::send(m_socket.get(), data + sent, length - sent, MSG_NOSIGNAL);
            if (written > 0) {
                sent += static_cast<std::size_t>(written);
                m_written += static_cast<std::uint64_t>(written);
            } else if (written == 0
                || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
                return acknowledged(); // the peer has gone
            } else if (errno != EINTR) {
                // The kernel's buffer is full: wait for room (a failed peer makes the next
                // send fail).
                pollfd entry { m_socket.get(), POLLOUT, 0 };
                ::poll(&entry, 1, progress.waitMs(waitSlice));
                waiting();
            }
            continue;
        }
        // Everything is with the kernel: wait for the peer's acknowledgements, looking more
        // rarely the longer they take.
        if (!allSent)
            allSent = Clock::now();
        if (Clock::now() - *allSent < ackSpin) {
            std::this_thread::yield();
            continue;
        }
        pollfd entry { m_socket.get(), 0, 0 };
        if (::poll(&entry, 1, progress.waitMs(ackPause)) > 0
            && (entry.revents & (POLLERR | POLLHUP)))
            return acknowledged();
        waiting();
        ackPause = std::min(ackPause * 2, maxAckPause);
    }
}

std::uint64_t NetConnection::unacknowledged() const
{
    int queued = 0;
    if (::ioctl(m_socket.get(), SIOCOUTQ, &queued) != 0 || queued < 0)
        return 0;
    return static_cast<std::uint64_t>(queued);
}

void NetConnection::close()
{
    if (!m_socket.valid())
        return;
    // Bytes the printer never took are dropped with the connection, so that a printer that
    // recovers later does not print the rest of a job already reported as failed.
    if (unacknowledged() > 0) {
        const linger reset { 1, 0 };
        ::setsockopt(m_socket.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    m_socket.reset();
    m_written = 0;
}

} // namespace zevaruv
