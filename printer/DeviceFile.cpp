#include "printer/DeviceFile.h"

#include "platform/IoError.h"
#include "printer/PressWait.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace printer {

namespace {

// The runtime's code for a handle whose type it cannot tell.
constexpr int unknownHandleType = 105;
// A Windows program writing to a printer that takes nothing gets ERROR_SEM_TIMEOUT: "The
// semaphore timeout period has expired" (the parallel driver's STATUS_IO_TIMEOUT).
constexpr int deviceTimeout = 121;
// The pause after a device that reports room refused a write all the same.
constexpr std::chrono::milliseconds readyButBusyPause(10);

bool knownType(mode_t mode)
{
    return S_ISREG(mode) || S_ISCHR(mode) || S_ISFIFO(mode) || S_ISSOCK(mode) || S_ISBLK(mode);
}

} // namespace

void DeviceFile::open(const std::string& path)
{
    if (path.empty()) {
        m_fd = STDOUT_FILENO;
    } else {
        // Non-blocking: a FIFO without a reader fails at once (ENXIO), and a printer that
        // stops taking bytes is waited for with poll() under the no-progress limit instead of
        // stopping the window in write().
        m_owned.reset(::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
        if (!m_owned.valid())
            return fail(platform::ioCodeFromErrno(errno));
        m_fd = m_owned.get();
    }
    struct stat info;
    if (::fstat(m_fd, &info) != 0 || !knownType(info.st_mode)) {
        m_owned.reset();
        m_fd = -1;
        return fail(unknownHandleType);
    }
    m_characterDevice = S_ISCHR(info.st_mode);
}

void DeviceFile::write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t piece = std::min(bufferSize - m_used, bytes.size() - done);
        std::copy_n(bytes.data() + done, piece, m_buffer + m_used);
        m_used += piece;
        done += piece;
        if (m_used == bufferSize)
            passBuffer();
    }
}

void DeviceFile::flush()
{
    if (m_characterDevice)
        passBuffer();
}

void DeviceFile::close()
{
    passBuffer();
    m_fd = -1;
    if (!m_owned.valid())
        return;
    // After EINTR the descriptor is closed all the same; only a real error is reported.
    if (const int error = m_owned.close(); error != 0 && error != EINTR)
        fail(platform::ioCodeFromErrno(error));
}

int DeviceFile::takeError()
{
    const int code = m_error;
    m_error = 0;
    return code;
}

void DeviceFile::passBuffer()
{
    pass(m_buffer, m_used);
    m_used = 0;
}

void DeviceFile::pass(const char* data, std::size_t size)
{
    // After a failure the device gets nothing more; the pending code is raised at the next check.
    if (m_error != 0 || m_fd < 0)
        return;
    platform::ProgressDeadline progress(noProgressLimit);
    bool refusedWhenReady = false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(m_fd, data + done, size - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            progress.note(done);
            refusedWhenReady = false;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (progress.expired())
                return fail(deviceTimeout);
            refusedWhenReady = waitWritable(progress, refusedWhenReady);
            keepWaiting();
        } else {
            return fail(platform::ioCodeFromErrno(written < 0 ? errno : EIO));
        }
    }
}

bool DeviceFile::waitWritable(const platform::ProgressDeadline& progress, bool refusedWhenReady)
{
    // The parallel-port driver has no poll() of its own and always reports "writable": after it
    // refused a write that poll() allowed, pause instead of asking again at once.
    pollfd ready { m_fd, static_cast<short>(refusedWhenReady ? 0 : POLLOUT), 0 };
    const auto slice = refusedWhenReady ? readyButBusyPause : waitSlice;
    return ::poll(&ready, 1, progress.waitMs(slice)) > 0 && (ready.revents & POLLOUT);
}

void DeviceFile::fail(int code)
{
    if (m_error == 0)
        m_error = code;
}

} // namespace printer
