#pragma once
// One TCP client connection with time limits, for the network printing library.

#include "platform/FileDescriptor.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zevaruv {

// The printer port every connection goes to.
constexpr std::uint16_t printerPort = 9100;

// The longest a call waits between two calls of the caller's wait callback.
constexpr std::chrono::milliseconds waitSlice(50);

// The caller's wait callback (none when callback is null).
struct Waiting {
    void (*callback)(void* context) = nullptr;
    void* context = nullptr;

    void operator()() const
    {
        if (callback)
            callback(context);
    }
};

class NetConnection {
public:
    NetConnection() = default;
    ~NetConnection() { close(); }
    NetConnection(const NetConnection&) = delete;
    NetConnection& operator=(const NetConnection&) = delete;

    // Each call that waits runs `waiting` at least every waitSlice meanwhile.

    // Connects to a dotted-decimal IPv4 address within connectMs; false on any failure.
    bool open(
        const std::string& address, std::uint16_t port, int connectMs, const Waiting& waiting);
    // Sends until the peer has acknowledged every byte, the peer fails, or sendMs has passed
    // without progress (no byte taken, none acknowledged); returns the count acknowledged.
    std::size_t send(
        const std::uint8_t* data, std::size_t length, int sendMs, const Waiting& waiting);
    // Waits up to waitMs for the first byte, then takes what has arrived (at most size bytes):
    // the count, 0 when nothing came in time, nullopt when closed by the peer or failed.
    std::optional<std::size_t> receive(
        std::uint8_t* buffer, std::size_t size, int waitMs, const Waiting& waiting);
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
