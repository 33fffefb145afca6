#pragma once
// A TCP listener on a loopback address (127.x.y.z) that stands in for a network printer.

#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"

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
        Slow, // keeps all bytes, but reads only 8 KB every 125 ms (64 KB a second)
    };
    // Listens on port 9100 of a loopback address of its own, picked at random and tried again
    // while another test holds it, so that test runs at the same time never collide.
    explicit TcpListener(Mode mode = Mode::Collect);
    // Listens on address:port (address must be in 127.0.0.0/8), retrying for a while when the
    // address is in use. Throws when it cannot.
    TcpListener(const std::string& address, std::uint16_t port, Mode mode = Mode::Collect);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Waits (up to timeoutMs) until `count` connections have been closed by the peer, then
    // returns the bytes of each, in order of acceptance.
    std::vector<std::string> waitForConnections(std::size_t count, int timeoutMs = 10000);
    std::size_t acceptedCount();
    // The address listened on.
    const std::string& address() const { return m_address; }

private:
    // Binds and listens; false when the address is in use, throws on any other failure.
    bool tryListen(const std::string& address, std::uint16_t port);
    void serve();
    // Reads what a connection has for the mode; false when the peer has closed it.
    bool receive(int socket, std::string& received);

    std::string m_address;
    platform::FileDescriptor m_listener;
    platform::EventFd m_stop;
    Mode m_mode;
    std::mutex m_mutex;
    std::vector<std::string> m_finished;
    std::size_t m_accepted = 0;
    std::vector<platform::FileDescriptor> m_open;
    std::thread m_thread;
};

// A blocking TCP connection to address:port (loopback only); -1 when it cannot connect.
int connectTo(const std::string& address, std::uint16_t port);

// A loopback address (127.x.y.z) picked at random, for a test of its own.
std::string randomLoopbackAddress();

} // namespace testsupport
