#pragma once

#include <cstdint>
#include <string>

// The ways into the virtual printer: a TCP listener on a loopback address, a pseudo-terminal
// presented as a serial port, a FIFO standing for a parallel port. Failures throw
// std::runtime_error with a message for the user.
namespace emulator {

struct TcpAddress {
    std::string host = "127.0.0.1";
    std::uint16_t port = 9100;
};

// "127.0.0.1:9100" or "127.0.0.1" (port 9100); only loopback addresses (127.0.0.0/8) are served.
TcpAddress parseTcpAddress(const std::string& text);

// A listening, non-blocking socket; `bound` receives the port really bound (for port 0).
int listenTcp(const TcpAddress& address, std::uint16_t& bound);

struct Pty {
    int master = -1;
    int slave = -1; // held open so the master never sees a hang-up between a client's opens
    std::string path; // the slave's /dev/pts/N
};
// A raw pseudo-terminal (no echo, no line editing), its master non-blocking.
Pty openRawPty();

// The entries that present a pseudo-terminal as the serial port `name` below a system root:
// <sysroot>/dev/<name> links to it and <sysroot>/sys/class/tty/<name>/device/driver exists, as
// the port list expects. Only what it made is removed when it goes; a device node or folder that
// was there before is never replaced or removed.
class SerialPortEntries {
public:
    // Throws std::runtime_error when an entry cannot be made.
    SerialPortEntries(
        const std::string& sysroot, const std::string& name, const std::string& ptyPath);
    ~SerialPortEntries();
    SerialPortEntries(const SerialPortEntries&) = delete;
    SerialPortEntries& operator=(const SerialPortEntries&) = delete;

private:
    std::string m_link;
    std::string m_ptyPath;
    std::string m_madeFolder; // the sysfs folder made here, empty when it was there before
};

// Makes the FIFO when it does not exist (a file of another kind is refused); true when made.
bool makeFifo(const std::string& path);
// The FIFO's read end, non-blocking; opened anew after each writer leaves.
int openFifo(const std::string& path);

} // namespace emulator
