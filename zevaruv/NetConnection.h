#pragma once
// One TCP client connection with time limits, for the network printing library.

#include "platform/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zevaruv {

// The printer port every connection goes to.
constexpr std::uint16_t printerPort = 9100;

class NetConnection {
public:
    NetConnection() = default;
    ~NetConnection() { close(); }
    NetConnection(const NetConnection&) = delete;
    NetConnection& operator=(const NetConnection&) = delete;

    // Connects to a dotted-decimal IPv4 address within connectMs; false on any failure.
    bool open(const std::string& address, std::uint16_t port, int connectMs);
    // Sends until the peer has acknowledged every byte, the peer fails, or sendMs has passed
    // without progress (no byte taken, none acknowledged); returns the count acknowledged.
    std::size_t send(const std::uint8_t* data, std::size_t length, int sendMs);
    // Ends the connection; bytes the peer has not acknowledged are dropped (reset).
    void close();
    bool isOpen() const { return m_socket.valid(); }

private:
    // Bytes sent and not yet acknowledged by the peer (SIOCOUTQ).
    std::uint64_t unacknowledged() const;

    platform::FileDescriptor m_socket;
    // Bytes handed to the kernel since the connection was made.
    std::uint64_t m_written = 0;
};

} // namespace zevaruv
