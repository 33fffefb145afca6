#include "bench/support/ArrivalListener.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace benchsupport {

ArrivalListener::ArrivalListener(const std::string& address)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons(9100);
    inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || ::listen(m_socket, 16) != 0)
        std::perror("listen");
    m_thread = std::thread([this] { serve(); });
}

ArrivalListener::~ArrivalListener()
{
    ::shutdown(m_socket, SHUT_RDWR);
    ::close(m_socket);
    m_thread.join();
}

Arrival ArrivalListener::next()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_arrivals.empty(); });
    const Arrival arrival = m_arrivals.front();
    m_arrivals.pop_front();
    return arrival;
}

void ArrivalListener::serve()
{
    for (;;) {
        const int peer = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        Arrival arrival;
        char buffer[256];
        ssize_t got;
        while ((got = ::recv(peer, buffer, sizeof buffer, 0)) > 0) {
            arrival.lastByte = Clock::now();
            arrival.bytes += static_cast<std::size_t>(got);
        }
        arrival.end = Clock::now();
        ::close(peer);
        std::lock_guard lock(m_mutex);
        m_arrivals.push_back(arrival);
        m_changed.notify_all();
    }
}

} // namespace benchsupport
