#include "printer/DescriptorWrite.h"

#include "platform/IoError.h"
#include "platform/ProgressDeadline.h"
#include "printer/PressWait.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace printer {

namespace {

// The pause after a device that reports room refused a write all the same.
constexpr std::chrono::milliseconds readyButBusyPause(10);

// Waits for room (at most one wait slice); whether poll() reported room.
bool waitWritable(int fd, const platform::ProgressDeadline& progress, bool refusedWhenReady)
{
    // The parallel-port driver has no poll() of its own and always reports "writable": after it
    // refused a write that poll() allowed, pause instead of asking again at once.
    pollfd ready { fd, static_cast<short>(refusedWhenReady ? 0 : POLLOUT), 0 };
    const auto slice = refusedWhenReady ? readyButBusyPause : waitSlice;
    return ::poll(&ready, 1, progress.waitMs(slice)) > 0 && (ready.revents & POLLOUT);
}

} // namespace

int writeUnderProgressLimit(int fd, const char* data, std::size_t size)
{
    platform::ProgressDeadline progress(noProgressLimit);
    bool refusedWhenReady = false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            progress.note(done);
            refusedWhenReady = false;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (progress.expired())
                return deviceTimeout;
            refusedWhenReady = waitWritable(fd, progress, refusedWhenReady);
            keepWaiting();
        } else {
            return platform::ioCodeFromErrno(written < 0 ? errno : EIO);
        }
    }
    return 0;
}

} // namespace printer
