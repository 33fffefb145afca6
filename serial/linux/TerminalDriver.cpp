#include "serial/linux/TerminalDriver.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace cport {

TTerminalKind TTerminalDriver::kindOf(dev_t device) const
{
    return terminalKind(device);
}

ssize_t TTerminalDriver::write(int fd, const char* bytes, std::size_t count)
{
    return ::write(fd, bytes, count);
}

int TTerminalDriver::outputQueue(int fd, int& queued)
{
    queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? 0 : errno;
}

int TTerminalDriver::flushOutput(int fd)
{
    return ::ioctl(fd, TCFLSH, TCOFLUSH) == 0 ? 0 : errno;
}

pollfd TTerminalDriver::roomEvent(int fd)
{
    return { fd, POLLOUT, 0 };
}

} // namespace cport
