#pragma once
// A TCP listener on a loopback address (127.x.y.z) that stands in for a network printer.

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class TcpListener {
public:
    enum class Mode {
        Collect, // accepts every connection and keeps all bytes it receives
        NeverRead, // accepts but never reads, with a small receive buffer, so senders stall
    };
    // Listens on address:port (address must be in 127.0.0.0/8). Throws when it cannot.
    TcpListener(const std::string& address, std::uint16_t port, Mode mode = Mode::Collect);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Waits (up to timeoutMs) until `count` connections have been closed by the peer, then
    // returns the bytes of each, in order of acceptance.
    std::vector<std::string> waitForConnections(std::size_t count, int timeoutMs = 10000);
    std::size_t acceptedCount();

private:
    void serve();

    int m_listener = -1;
    int m_stop[2] = { -1, -1 };
    Mode m_mode;
    std::mutex m_mutex;
    std::vector<std::string> m_finished;
    std::size_t m_accepted = 0;
    std::vector<int> m_open;
    std::thread m_thread;
};

// A blocking TCP connection to address:port (loopback only); -1 when it cannot connect.
int connectTo(const std::string& address, std::uint16_t port);

} // namespace testsupport
