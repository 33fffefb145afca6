#pragma once
// What the Linux device asks of the terminal layer beneath it: which kind of terminal a device
// is, before it is opened, and everything about the driver's output queue (writing into it
// without blocking, its length, discarding it, waiting for room in it). TTerminalDriver is the
// kernel itself; tests put a model of a UART's driver in its place (a pseudo-terminal whose
// writes pass through a queue that drains only while the line flows), so the output-queue
// paths, which pseudo-terminals never take, run in tests too.

#include "serial/linux/TerminalDevices.h"

#include <cstddef>
#include <poll.h>
#include <sys/types.h>

namespace cport {

class TTerminalDriver {
public:
    virtual ~TTerminalDriver() = default;

    // The kind of the terminal device (terminalKind).
    virtual TTerminalKind kindOf(dev_t device) const;
    // Puts up to `count` bytes into the driver without blocking: the count it took (short when
    // it filled up), or -1 with errno set (EAGAIN when it has no room).
    virtual ssize_t write(int fd, const char* bytes, std::size_t count);
    // Bytes the driver has taken that have not gone down the line yet (TIOCOUTQ): 0 or errno.
    virtual int outputQueue(int fd, int& queued);
    // Discards them (TCOFLUSH): 0 or errno.
    virtual int flushOutput(int fd);
    // What poll() waits on until the driver has room again (the descriptor's POLLOUT).
    virtual pollfd roomEvent(int fd);
};

} // namespace cport
