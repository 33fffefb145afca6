#include "support/TcpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <random>
#include <stdexcept>

namespace testsupport {

namespace {

constexpr std::chrono::milliseconds slowTick(125);
constexpr std::size_t slowPiece = 8192;

sockaddr_in loopbackAddress(const std::string& address, std::uint16_t port, const char* what)
{
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1 || address.rfind("127.", 0) != 0)
        throw std::invalid_argument(std::string(what) + " stay on loopback: " + address);
    return target;
}

} // namespace

std::string randomLoopbackAddress()
{
    static std::mt19937 random(std::random_device {}());
    std::uniform_int_distribution<int> octet(1, 254);
    return "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "."
        + std::to_string(octet(random));
}

TcpListener::TcpListener(Mode mode)
    : m_mode(mode)
{
    for (int attempt = 0; !tryListen(randomLoopbackAddress(), 9100); ++attempt)
        if (attempt == 100)
            throw std::runtime_error("no free loopback address for port 9100");
    m_thread = std::thread([this] { serve(); });
}

TcpListener::TcpListener(const std::string& address, std::uint16_t port, Mode mode)
    : m_mode(mode)
{
    // An earlier run that still holds the address lets go of it soon.
    for (int attempt = 0; !tryListen(address, port); ++attempt) {
        if (attempt == 100)
            throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    m_thread = std::thread([this] { serve(); });
}

bool TcpListener::tryListen(const std::string& address, std::uint16_t port)
{
    const sockaddr_in local = loopbackAddress(address, port, "test listeners");
    m_listener.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int yes = 1;
    ::setsockopt(m_listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (m_mode != Mode::Collect) {
        // Inherited by accepted sockets: keeps the peer's window small.
        const int small = m_mode == Mode::Slow ? 2 * slowPiece : 4096;
        ::setsockopt(m_listener.get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    if (::bind(m_listener.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0
        || ::listen(m_listener.get(), 16) != 0) {
        const int error = errno;
        m_listener.reset();
        if (error == EADDRINUSE)
            return false;
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    if (!m_stop.valid())
        throw std::runtime_error("cannot make a stop descriptor");
    m_address = address;
    return true;
}

TcpListener::~TcpListener()
{
    m_stop.signal();
    m_thread.join();
}

bool TcpListener::receive(int socket, std::string& received)
{
    char buffer[65536];
    const std::size_t wanted = m_mode == Mode::Slow ? slowPiece : sizeof buffer;
    const ssize_t count = ::recv(socket, buffer, wanted, MSG_DONTWAIT);
    if (count > 0)
        received.append(buffer, static_cast<std::size_t>(count));
    return count > 0 || (count < 0 && (errno == EAGAIN || errno == EINTR));
}

void TcpListener::serve()
{
    std::map<int, std::string> received;
    auto lastSlowRead = std::chrono::steady_clock::now();
    for (;;) {
        std::vector<pollfd> waits { { m_stop.get(), POLLIN, 0 }, { m_listener.get(), POLLIN, 0 } };
        if (m_mode == Mode::Collect)
            for (const auto& entry : received)
                waits.push_back({ entry.first, POLLIN, 0 });
        const int timeout = m_mode == Mode::Slow ? static_cast<int>(slowTick.count()) : -1;
        if (::poll(waits.data(), waits.size(), timeout) < 0)
            continue;
        if (waits[0].revents)
            return;
        if (waits[1].revents & POLLIN) {
            platform::FileDescriptor client(
                ::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client.valid()) {
                std::lock_guard lock(m_mutex);
                ++m_accepted;
                received[client.get()];
                m_open.push_back(std::move(client));
            }
        }
        std::vector<int> due;
        for (std::size_t i = 2; i < waits.size(); ++i)
            if (waits[i].revents)
                due.push_back(waits[i].fd);
        if (m_mode == Mode::Slow && std::chrono::steady_clock::now() - lastSlowRead >= slowTick) {
            lastSlowRead = std::chrono::steady_clock::now();
            for (const auto& entry : received)
                due.push_back(entry.first);
        }
        for (const int socket : due) {
            if (receive(socket, received[socket]))
                continue;
            std::lock_guard lock(m_mutex);
            m_finished.push_back(std::move(received[socket]));
            received.erase(socket);
            std::erase_if(m_open, [socket](const auto& open) { return open.get() == socket; });
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
    const sockaddr_in target = loopbackAddress(address, port, "test clients");
    platform::FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        return -1;
    return socket.release();
}

} // namespace testsupport
