#include "support/TcpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <stdexcept>

namespace testsupport {

TcpListener::TcpListener(const std::string& address, std::uint16_t port, Mode mode)
    : m_mode(mode)
{
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 || address.rfind("127.", 0) != 0)
        throw std::invalid_argument("test listeners stay on loopback: " + address);
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (mode == Mode::NeverRead) {
        // Inherited by accepted sockets: keeps the peer's window small.
        const int small = 4096;
        ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || ::listen(m_listener, 16) != 0 || ::pipe2(m_stop, O_CLOEXEC) != 0) {
        ::close(m_listener);
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    m_thread = std::thread([this] { serve(); });
}

TcpListener::~TcpListener()
{
    const char stop = 0;
    (void)::write(m_stop[1], &stop, 1);
    m_thread.join();
    for (int socket : m_open)
        ::close(socket);
    ::close(m_listener);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

void TcpListener::serve()
{
    std::map<int, std::string> received;
    for (;;) {
        std::vector<pollfd> waits { { m_stop[0], POLLIN, 0 }, { m_listener, POLLIN, 0 } };
        if (m_mode == Mode::Collect)
            for (const auto& entry : received)
                waits.push_back({ entry.first, POLLIN, 0 });
        if (::poll(waits.data(), waits.size(), -1) < 0)
            continue;
        if (waits[0].revents)
            return;
        if (waits[1].revents & POLLIN) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                std::lock_guard lock(m_mutex);
                ++m_accepted;
                m_open.push_back(client);
                received[client];
            }
        }
        for (std::size_t i = 2; i < waits.size(); ++i) {
            if (!waits[i].revents)
                continue;
            char buffer[65536];
            const ssize_t count = ::read(waits[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                received[waits[i].fd].append(buffer, count);
                continue;
            }
            std::lock_guard lock(m_mutex);
            m_finished.push_back(std::move(received[waits[i].fd]));
            received.erase(waits[i].fd);
            std::erase(m_open, waits[i].fd);
            ::close(waits[i].fd);
        }
    }
}

std::vector<std::string> TcpListener::waitForConnections(std::size_t count, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_finished.size() >= count || std::chrono::steady_clock::now() > deadline)
                return m_finished;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::size_t TcpListener::acceptedCount()
{
    std::lock_guard lock(m_mutex);
    return m_accepted;
}

int connectTo(const std::string& address, std::uint16_t port)
{
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1 || address.rfind("127.", 0) != 0)
        throw std::invalid_argument("test clients stay on loopback: " + address);
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket >= 0
        && ::connect(socket, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

} // namespace testsupport
