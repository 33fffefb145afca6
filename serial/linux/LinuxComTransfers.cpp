// Reads and writes of the Linux device: started without blocking, completed by a wait on the
// descriptor and the request's own wake-up descriptor, within the record's time limits.
#include "serial/linux/LinuxComDevice.h"

#include "serial/core/ComTimeouts.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace cport {

namespace {

using Clock = std::chrono::steady_clock;

// Longest pause between two looks at a draining output queue or a held DSR line.
constexpr std::chrono::milliseconds longestPause(100);
constexpr std::chrono::milliseconds dsrPause(20);

std::optional<Clock::time_point> after(
    Clock::time_point start, const std::optional<std::chrono::milliseconds>& limit)
{
    if (!limit)
        return std::nullopt;
    // Limits beyond a century are as good as none, and must not overflow the clock.
    if (*limit > std::chrono::hours(24 * 365 * 100))
        return std::nullopt;
    return start + *limit;
}

int pollTimeout(const std::optional<Clock::time_point>& deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
    return int(std::clamp<std::int64_t>(left.count(), 0, 1 << 30));
}

bool passed(const std::optional<Clock::time_point>& deadline)
{
    return deadline && Clock::now() >= *deadline;
}

std::optional<Clock::time_point> earlier(
    const std::optional<Clock::time_point>& a, const std::optional<Clock::time_point>& b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return std::min(*a, *b);
}

} // namespace

int TLinuxComDevice::startTransfer(TComTransfer& record, std::uint32_t& moved)
{
    moved = 0;
    if (m_fd < 0)
        return EBADF;
    TOverlapped& ov = record.overlapped;
    ov.moved = 0;
    ov.error = 0;
    ov.cancelled = false;
    ov.endedByAbort = false;
    ov.issued = Clock::now();
    ov.abortGeneration = record.kind == tkWrite ? m_writeAborts.load() : m_readAborts.load();
    {
        std::lock_guard lock(m_mutex);
        ov.timeouts = m_timeouts;
    }
    const int error = record.kind == tkWrite ? startWrite(ov, moved) : startRead(ov, moved);
    ov.pending = error == 0;
    return error;
}

int TLinuxComDevice::startRead(TOverlapped& ov, std::uint32_t& moved)
{
    ov.moved = std::uint32_t(takeInput(ov.destination, ov.count));
    moved = ov.moved;
    // Taking input looks at the descriptor first, so a hang-up is known here.
    std::lock_guard lock(m_mutex);
    return ov.moved == 0 && m_hungUp && m_input.size() == 0 ? EIO : 0;
}

int TLinuxComDevice::startWrite(TOverlapped& ov, std::uint32_t& moved)
{
    if (!m_writes->beginAtHead(ov)) {
        ov.holder = m_writes;
        m_writes->push(ov);
        return 0;
    }
    // Collected at once (writeText): written whole here, as a blocking write would be.
    if (ov.collectedAtOnce) {
        carryOutWrite(ov);
        moved = ov.moved;
        m_writes->handOn(ov, true);
        return ov.error;
    }
    // Lines to raise or watch first leave the whole request to the queue's thread.
    const TSendRules rules = sendRules();
    if (rules.toggleRts || rules.waitForDsr) {
        ov.holder = m_writes;
        m_writes->handOn(ov, false);
        return 0;
    }
    const int error = writeSome(ov);
    moved = ov.moved;
    // Without an output queue to drain, a write the driver took whole has ended.
    const bool finished = error != 0 || (ov.moved == ov.count && !m_hasOutputQueue);
    if (finished && error == 0)
        endWrite(true, false);
    if (!finished)
        ov.holder = m_writes;
    m_writes->handOn(ov, finished);
    return error;
}

void TLinuxComDevice::carryOutWrite(TOverlapped& ov)
{
    // Aborted (or its record gone) while it waited in the queue: not a byte goes out.
    if (aborted(ov, tkWrite)) {
        ov.endedByAbort = true;
        return;
    }
    const TSendRules rules = sendRules();
    if (rules.toggleRts)
        setModemLine(TIOCM_RTS, true);
    ov.error = runWrite(ov, rules);
}

TLinuxComDevice::TSendRules TLinuxComDevice::sendRules() const
{
    std::lock_guard lock(m_mutex);
    TSendRules rules;
    rules.toggleRts = m_setup.rtsControl == RTS_CONTROL_TOGGLE && !m_rs485 && m_hasModemLines;
    rules.waitForDsr = m_setup.outDsrFlow && m_hasModemLines;
    rules.byteMs = 1000.0 * m_setup.bitsPerCharacter / std::max<std::uint32_t>(m_setup.baudRate, 1);
    return rules;
}

int TLinuxComDevice::awaitTransfer(TComTransfer& record, std::uint32_t& moved)
{
    TOverlapped& ov = record.overlapped;
    if (auto holder = std::move(ov.holder))
        holder->await(ov);
    else if (ov.pending && record.kind == tkRead)
        ov.error = runRead(ov);
    ov.pending = false;
    moved = ov.moved;
    return ov.error;
}

bool TLinuxComDevice::aborted(const TOverlapped& ov, TTransferKind kind) const
{
    if (ov.cancelled)
        return true;
    return (kind == tkWrite ? m_writeAborts.load() : m_readAborts.load()) != ov.abortGeneration;
}

TLinuxComDevice::WaitOutcome TLinuxComDevice::waitFor(
    TOverlapped& ov, TTransferKind kind, pollfd ready, const Deadline& deadline)
{
    // A thread waits for one request at a time, so one wake-up descriptor per thread serves.
    static thread_local const platform::EventFd wake;
    if (!wake.valid()) {
        ov.error = wake.error();
        return WaitOutcome::Aborted;
    }
    {
        std::lock_guard lock(m_mutex);
        // Checked under the lock that an abort takes, so an abort cannot slip in unseen.
        if (aborted(ov, kind))
            return WaitOutcome::Aborted;
        // Bytes the monitor queued since the caller last looked would send no wake-up.
        if (kind == tkRead && (m_input.size() > 0 || m_hungUp))
            return WaitOutcome::Ready;
        m_waiters.push_back(&wake);
    }
    ready.revents = 0;
    pollfd fds[2] = { { wake.get(), POLLIN, 0 }, ready };
    int result = 0;
    do
        result = ::poll(fds, 2, pollTimeout(deadline));
    while (result < 0 && errno == EINTR && !passed(deadline));
    {
        std::lock_guard lock(m_mutex);
        m_waiters.erase(std::find(m_waiters.begin(), m_waiters.end(), &wake));
    }
    if (result > 0 && fds[0].revents != 0)
        wake.drain();
    if (aborted(ov, kind))
        return WaitOutcome::Aborted;
    return result > 0 ? WaitOutcome::Ready : WaitOutcome::TimedOut;
}

int TLinuxComDevice::writeSome(TOverlapped& ov)
{
    while (ov.moved < ov.count) {
        const std::uint32_t wanted = ov.count - ov.moved;
        const ssize_t n = m_driver->write(m_fd, ov.source + ov.moved, wanted);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EAGAIN ? 0 : errno;
        ov.moved += std::uint32_t(n);
        // A short write means the driver is full: the next attempt waits for room first.
        if (std::uint32_t(n) < wanted)
            return 0;
    }
    return 0;
}

int TLinuxComDevice::runWrite(TOverlapped& ov, const TSendRules& rules)
{
    const auto limit = ov.timeLimit ? ov.timeLimit : writeTimeLimit(ov.timeouts, ov.count);
    const Deadline deadline = after(ov.issued, limit);
    int error = writeRest(ov, rules, deadline);
    bool drained = false;
    if (error == 0 && ov.error == 0)
        error = drainOutput(ov, deadline, rules.byteMs, drained);
    if (rules.toggleRts)
        setModemLine(TIOCM_RTS, false);
    if (aborted(ov, tkWrite))
        ov.endedByAbort = true;
    endWrite(drained, error != 0);
    return error != 0 ? error : ov.error;
}

int TLinuxComDevice::writeRest(TOverlapped& ov, const TSendRules& rules, const Deadline& deadline)
{
    // The one writer: as much as the driver takes per call, then a wait for room (or, while
    // DSR holds the output, a look at DSR every few milliseconds) that the deadline and the
    // thread's wake-up end.
    int error = rules.waitForDsr ? 0 : writeSome(ov);
    while (ov.moved < ov.count && error == 0) {
        const bool heldByDsr = rules.waitForDsr && !modemLine(TIOCM_DSR);
        const Deadline until = heldByDsr ? earlier(deadline, Clock::now() + dsrPause) : deadline;
        const pollfd room = heldByDsr ? pollfd { -1, 0, 0 } : m_driver->roomEvent(m_fd);
        const WaitOutcome outcome = waitFor(ov, tkWrite, room, until);
        if (outcome == WaitOutcome::Aborted)
            break;
        if (!rules.waitForDsr || modemLine(TIOCM_DSR))
            error = writeSome(ov);
        if (passed(deadline))
            break;
    }
    return error;
}

void TLinuxComDevice::endWrite(bool drained, bool failed)
{
    std::lock_guard lock(m_mutex);
    if (drained) {
        recordLocked(EV_TXEMPTY);
    } else if (failed) {
        m_txDraining = false;
    } else if (!m_txDraining) {
        // The monitor samples the queue from now on, until it is empty.
        m_txDraining = true;
        wakeMonitor();
    }
}

int TLinuxComDevice::drainOutput(
    TOverlapped& ov, const Deadline& deadline, double byteMs, bool& drained)
{
    for (;;) {
        std::uint32_t queued = 0;
        if (const int error = outputQueue(queued))
            return error;
        if (queued == 0) {
            drained = true;
            return 0;
        }
        // The bytes still queued were taken and stay counted: they go out as the line flows,
        // and sending them again would send them twice.
        if (passed(deadline) || aborted(ov, tkWrite) || ov.moved < ov.count)
            return 0;
        const auto estimate = std::chrono::milliseconds(std::int64_t(queued * byteMs) + 1);
        const auto pause = std::min<std::chrono::milliseconds>(estimate, longestPause);
        waitFor(ov, tkWrite, pollfd { -1, 0, 0 }, earlier(deadline, Clock::now() + pause));
    }
}

int TLinuxComDevice::runRead(TOverlapped& ov)
{
    const TReadPlan plan = readPlan(ov.timeouts, ov.count);
    const Deadline total = after(ov.issued, plan.total);
    auto lastByte = ov.issued;
    for (bool first = true;; first = false) {
        const std::size_t got
            = first ? 0 : takeInput(ov.destination + ov.moved, ov.count - ov.moved);
        if (got > 0) {
            ov.moved += std::uint32_t(got);
            lastByte = Clock::now();
        }
        if (ov.moved == ov.count || plan.immediate || (plan.returnOnFirstByte && ov.moved > 0))
            return 0;
        Deadline until = total;
        if (plan.interval && ov.moved > 0)
            until = earlier(total, after(lastByte, plan.interval));
        if (passed(until))
            return 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_hungUp && m_input.size() == 0)
                return ov.moved > 0 ? 0 : EIO;
        }
        if (waitFor(ov, tkRead, pollfd { m_fd.load(), POLLIN, 0 }, until)
            == WaitOutcome::Aborted)
            return ov.error;
    }
}

} // namespace cport
