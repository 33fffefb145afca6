#include "printer/ParallelLink.h"

#include "platform/IoError.h"
#include "platform/LptDevice.h"
#include "printer/DescriptorWrite.h"
#include "printer/PrinterDevice.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace printer {

namespace {

[[noreturn]] void raiseErrno(int error)
{
    platform::raiseInOutError(platform::ioCodeFromErrno(error));
}

// Character devices are opened both ways; a FIFO only for writing (opened both ways it would
// hand our own queries back as answers). Never blocks, never creates; anything but a printer
// device is refused unopened.
int openDevice(const std::string& path, bool& readable)
{
    if (path.empty())
        raiseErrno(ENOENT);
    const int fd = openPrinterDevice(path, true, readable);
    if (fd < 0)
        raiseErrno(errno); // a FIFO nobody reads gives ENXIO instead of hanging the press
    return fd;
}

// Waits for the descriptor to become ready for `events`; false when the time ran out.
bool waitFor(int fd, short events, int ms)
{
    pollfd entry { fd, events, 0 };
    for (;;) {
        const int ready = ::poll(&entry, 1, ms);
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            raiseErrno(errno);
    }
}

} // namespace

ParallelLink::ParallelLink(const std::string& deviceName)
    : m_path(platform::lptDevicePath(deviceName))
    , m_fd(openDevice(m_path, m_readable))
{
}

std::optional<LptKernelView> ParallelLink::kernelView() const
{
    return readLptKernelView(m_fd.get(), m_path);
}

void ParallelLink::write(const std::string& bytes)
{
    if (const int code = writeUnderProgressLimit(m_fd.get(), bytes.data(), bytes.size()))
        platform::raiseInOutError(code);
}

std::string ParallelLink::read(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    if (!m_readable || maxBytes == 0)
        return {};
    const int ms = static_cast<int>(std::min<std::int64_t>(limit.count(), INT32_MAX));
    if (!waitFor(m_fd.get(), POLLIN, ms))
        return {};
    std::string bytes(maxBytes, '\0');
    const ssize_t got = ::read(m_fd.get(), bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace printer
