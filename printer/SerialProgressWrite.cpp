#include "printer/SerialProgressWrite.h"

#include "platform/ProgressDeadline.h"
#include "printer/PressWait.h"
#include "serial/CPort.h"
#include "serial/core/ComConversions.h"

#include <algorithm>
#include <functional>
#include <poll.h>
#include <sys/ioctl.h>

namespace printer {

namespace {

using std::chrono::milliseconds;

// How a job is cut for a port: pieces short enough that a flowing line always finishes one
// well within its own limit, so a short piece means a held line.
struct Pacing {
    std::size_t piece;
    milliseconds pieceLimit;
};

// A device that takes pieces far faster than its line rate (a pseudo-terminal, a USB adapter
// with a large buffer) gets ever larger pieces, up to this.
constexpr std::size_t largestPiece = 256 * 1024;

Pacing pacingFor(const cport::TCustomComPort& port)
{
    const std::int32_t bitsPerSecond
        = std::max(cport::baudRateValue(port.BaudRate(), port.CustomBaudRate()), 1);
    const double bytesPerSecond = bitsPerSecond / 10.0; // start, 8 data and stop bits
    const auto piece = static_cast<std::size_t>(std::clamp(bytesPerSecond / 20, 16.0, 4096.0));
    const auto pieceTime = milliseconds(static_cast<std::int64_t>(1000 * piece / bytesPerSecond));
    return { piece, std::max(milliseconds(250), 4 * pieceTime) };
}

// While it lives, the port's write limit is `limit` for every write, whatever its length.
class WriteLimitOverride {
public:
    WriteLimitOverride(cport::TCustomComPort& port, milliseconds limit)
        : m_port(port)
        , m_multiplier(port.Timeouts().WriteTotalMultiplier())
        , m_constant(port.Timeouts().WriteTotalConstant())
    {
        port.Timeouts().setWriteTotalMultiplier(0);
        port.Timeouts().setWriteTotalConstant(static_cast<std::int32_t>(limit.count()));
    }
    ~WriteLimitOverride()
    {
        // A setter stores its value before it pushes it to the device, so the port has its own
        // limits back even when a device that failed the write refuses them too; that device
        // gets them at its next open.
        restore([this] { m_port.Timeouts().setWriteTotalMultiplier(m_multiplier); });
        restore([this] { m_port.Timeouts().setWriteTotalConstant(m_constant); });
    }
    WriteLimitOverride(const WriteLimitOverride&) = delete;
    WriteLimitOverride& operator=(const WriteLimitOverride&) = delete;

private:
    static void restore(const std::function<void()>& set)
    {
        try {
            set();
        } catch (const std::exception&) {
        }
    }

    cport::TCustomComPort& m_port;
    std::int32_t m_multiplier;
    std::int32_t m_constant;
};

// Bytes the driver holds that have not gone down the line; 0 where the device has no such queue
// (a pseudo-terminal's writes leave at once).
std::size_t outputQueue(const cport::TCustomComPort& port)
{
    int queued = 0;
    if (::ioctl(port.deviceHandle(), TIOCOUTQ, &queued) != 0 || queued < 0)
        return 0;
    return static_cast<std::size_t>(queued);
}

// A piece the port did not finish in time leaves bytes in the driver that the port no longer
// counts as written: wait for them to leave rather than send them again. Returns how many left.
std::size_t awaitQueued(const cport::TCustomComPort& port, std::size_t taken, std::size_t queued,
    platform::ProgressDeadline& progress)
{
    std::size_t left = queued;
    while (left > 0 && !progress.expired()) {
        pollfd none { -1, 0, 0 };
        ::poll(&none, 1, progress.waitMs(waitSlice));
        keepWaiting();
        left = std::min(left, outputQueue(port));
        progress.note(taken + queued - left);
    }
    return queued - std::min(queued, left);
}

} // namespace

std::size_t writeWithProgressLimit(cport::TCustomComPort& port, const std::string& bytes)
{
    const Pacing pacing = pacingFor(port);
    const WriteLimitOverride limit(port, pacing.pieceLimit);
    platform::ProgressDeadline progress(noProgressLimit);
    std::size_t piece = pacing.piece;
    std::size_t taken = 0;
    while (taken < bytes.size() && !progress.expired()) {
        const std::size_t size = std::min(piece, bytes.size() - taken);
        const auto started = platform::ProgressDeadline::Clock::now();
        const auto moved = static_cast<std::size_t>(port.writeText(bytes.substr(taken, size)));
        const bool quick
            = platform::ProgressDeadline::Clock::now() - started < pacing.pieceLimit / 8;
        const std::size_t queued = moved < size ? outputQueue(port) : 0;
        taken += moved;
        progress.note(taken);
        if (queued > 0)
            taken += awaitQueued(port, taken, queued, progress);
        // Only pieces a device took at once grow; a short one brings back the line's own size.
        piece = moved < size ? pacing.piece : quick ? std::min(2 * piece, largestPiece) : piece;
        keepWaiting();
    }
    return taken;
}

} // namespace printer
