#include "emulator/Endpoints.h"

#include "platform/FileDescriptor.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <pty.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace emulator {

namespace {

[[noreturn]] void fail(const std::string& what, int error = errno)
{
    throw std::runtime_error(what + ": " + std::strerror(error));
}

void setNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        fail("cannot make a descriptor non-blocking");
}

} // namespace

TcpAddress parseTcpAddress(const std::string& text)
{
    TcpAddress address;
    const auto colon = text.rfind(':');
    address.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const auto port = text.substr(colon + 1);
        char* end = nullptr;
        const long value = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end != '\0' || value < 0 || value > 65535)
            throw std::runtime_error("\"" + port + "\" is not a TCP port number");
        address.port = static_cast<std::uint16_t>(value);
    }
    in_addr parsed {};
    if (inet_pton(AF_INET, address.host.c_str(), &parsed) != 1)
        throw std::runtime_error("\"" + address.host + "\" is not an IPv4 address");
    if ((ntohl(parsed.s_addr) >> 24) != 127)
        throw std::runtime_error(address.host
            + " is not a loopback address: the virtual printer serves 127.0.0.0/8 only");
    return address;
}

int listenTcp(const TcpAddress& address, std::uint16_t& bound)
{
    platform::FileDescriptor listener(
        socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.valid())
        fail("cannot create a socket");
    const int yes = 1;
    setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in socketAddress {};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(address.port);
    inet_pton(AF_INET, address.host.c_str(), &socketAddress.sin_addr);
    const auto* generic = reinterpret_cast<sockaddr*>(&socketAddress);
    if (bind(listener.get(), generic, sizeof socketAddress) != 0
        || listen(listener.get(), 128) != 0) {
        const int error = errno;
        fail("cannot listen on " + address.host + ":" + std::to_string(address.port), error);
    }
    socklen_t length = sizeof socketAddress;
    getsockname(listener.get(), reinterpret_cast<sockaddr*>(&socketAddress), &length);
    bound = ntohs(socketAddress.sin_port);
    return listener.release();
}

Pty openRawPty()
{
    Pty pty;
    char path[256];
    termios raw {};
    cfmakeraw(&raw);
    if (openpty(&pty.master, &pty.slave, path, &raw, nullptr) != 0)
        fail("cannot create a pseudo-terminal");
    fcntl(pty.master, F_SETFD, FD_CLOEXEC);
    fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
    setNonBlocking(pty.master);
    pty.path = path;
    return pty;
}

SerialPortEntries::SerialPortEntries(
    const std::string& sysroot, const std::string& name, const std::string& ptyPath)
    : m_link(sysroot + "/dev/" + name)
    , m_ptyPath(ptyPath)
{
    namespace fs = std::filesystem;
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        throw std::runtime_error("\"" + name + "\" is not a serial port name");
    const auto folder = sysroot + "/sys/class/tty/" + name;
    std::error_code error;
    const bool folderWasThere = fs::exists(folder, error);
    fs::create_directories(folder + "/device/driver", error);
    if (error)
        throw std::runtime_error("cannot make " + folder + "/device/driver: " + error.message());
    if (!folderWasThere)
        m_madeFolder = folder;
    fs::create_directories(sysroot + "/dev", error);
    // A link left by an earlier run may be replaced; anything else at that name stays.
    if (fs::is_symlink(m_link, error))
        fs::remove(m_link, error);
    fs::create_symlink(ptyPath, m_link, error);
    if (error) {
        if (!m_madeFolder.empty())
            fs::remove_all(m_madeFolder, error);
        throw std::runtime_error("cannot place " + m_link + ": " + error.message());
    }
}

SerialPortEntries::~SerialPortEntries()
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_symlink(m_link, error) && fs::read_symlink(m_link, error) == m_ptyPath)
        fs::remove(m_link, error);
    if (!m_madeFolder.empty())
        fs::remove_all(m_madeFolder, error);
}

bool makeFifo(const std::string& path)
{
    if (mkfifo(path.c_str(), 0660) == 0)
        return true;
    struct stat info;
    if (errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode))
        return false;
    if (errno == EEXIST)
        throw std::runtime_error(path + " exists and is not a FIFO");
    fail("cannot make the FIFO " + path);
}

int openFifo(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail("cannot open the FIFO " + path);
    return fd;
}

} // namespace emulator
