// The receiving side of the Linux device: filling the input queue from the descriptor,
// recording events for the monitor, input flow control and the monitor's wait.
#include "serial/linux/LinuxComDevice.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace cport {

namespace {

constexpr std::chrono::milliseconds sampleInterval(50);
constexpr std::uint32_t modemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
constexpr std::uint32_t lineEvents = EV_BREAK | EV_ERR;

bool readable(int fd)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0;
}

} // namespace

void TLinuxComDevice::recordLocked(std::uint32_t events)
{
    const std::uint32_t wanted = events & m_eventMask;
    if (wanted == 0)
        return;
    const bool first = m_pending == 0;
    m_pending |= wanted;
    if (first)
        wakeMonitor();
}

void TLinuxComDevice::wakeWaitersLocked()
{
    for (const platform::EventFd* waiter : m_waiters)
        waiter->signal();
}

void TLinuxComDevice::wakeMonitor()
{
    m_wake.signal();
}

void TLinuxComDevice::hangUpLocked()
{
    // Terminal: the descriptor leaves every wait set, and every waiter learns of it now.
    m_hungUp = true;
    m_errors |= CE_IOE;
    recordLocked(EV_ERR);
    wakeWaitersLocked();
}

void TLinuxComDevice::pumpLocked()
{
    if (m_fd < 0 || m_hungUp)
        return;
    bool stored = false;
    for (std::size_t space = m_input.space(); space > 0; space = m_input.space()) {
        const std::size_t wanted = std::min(space, m_readBuffer.size());
        const ssize_t got = ::read(m_fd, m_readBuffer.data(), wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            break;
        if (got <= 0) {
            // With VMIN=1 a read of 0 bytes only happens after a hang-up.
            hangUpLocked();
            break;
        }
        if (m_setup.dsrSensitivity && m_hasModemLines && !modemLine(TIOCM_DSR))
            continue;
        const TInputFindings found = m_input.append(m_readBuffer.data(), std::size_t(got), m_rules);
        std::uint32_t events = 0;
        if (found.stored)
            events |= EV_RXCHAR;
        if (found.eventChar)
            events |= EV_RXFLAG;
        if (found.reached80)
            events |= EV_RX80FULL;
        if (found.lineBreak)
            events |= EV_BREAK;
        if (found.errors != 0)
            events |= EV_ERR;
        m_errors |= found.errors;
        recordLocked(events);
        stored = stored || found.stored;
        if (std::size_t(got) < wanted)
            break;
    }
    if (stored)
        wakeWaitersLocked();
    throttleInputLocked();
}

std::size_t TLinuxComDevice::takeInput(char* destination, std::size_t count)
{
    std::lock_guard lock(m_mutex);
    pumpLocked();
    const bool wasFull = m_input.space() == 0;
    const std::size_t taken = m_input.take(destination, count);
    if (taken > 0) {
        throttleInputLocked();
        // The monitor stops watching the descriptor while the queue is full.
        if (wasFull)
            wakeMonitor();
    }
    return taken;
}

void TLinuxComDevice::throttleInputLocked()
{
    const bool handshake = m_setup.dtrControl == DTR_CONTROL_HANDSHAKE
        || (m_setup.rtsControl == RTS_CONTROL_HANDSHAKE && !m_setup.rtsByKernel)
        || m_setup.inputXonXoff;
    if (!handshake || m_fd < 0) {
        m_inputStopped = false;
        return;
    }
    if (!m_inputStopped && m_input.space() < m_setup.xoffLimit)
        setInputFlow(false);
    else if (m_inputStopped && m_input.size() < m_setup.xonLimit)
        setInputFlow(true);
}

void TLinuxComDevice::setInputFlow(bool open)
{
    m_inputStopped = !open;
    if (m_hasModemLines && m_setup.dtrControl == DTR_CONTROL_HANDSHAKE)
        setModemLine(TIOCM_DTR, open);
    if (m_hasModemLines && m_setup.rtsControl == RTS_CONTROL_HANDSHAKE && !m_setup.rtsByKernel)
        setModemLine(TIOCM_RTS, open);
    if (m_setup.inputXonXoff)
        ::tcflow(m_fd, open ? TCION : TCIOFF);
}

bool TLinuxComDevice::needsSamplingLocked() const
{
    return ((m_eventMask & modemEvents) && (m_hasModemLines || m_hasCounters))
        || ((m_eventMask & lineEvents) && m_hasCounters)
        || ((m_eventMask & EV_TXEMPTY) && m_txDraining);
}

void TLinuxComDevice::sampleLinesLocked(Clock::time_point now)
{
    m_nextSample = now + sampleInterval;
    if (m_hasCounters) {
        updateCountersLocked();
    } else if (m_hasModemLines) {
        int lines = 0;
        if (::ioctl(m_fd, TIOCMGET, &lines) == 0) {
            const std::uint32_t changed = std::uint32_t(lines) ^ m_lastLines;
            std::uint32_t events = 0;
            if (changed & TIOCM_CTS)
                events |= EV_CTS;
            if (changed & TIOCM_DSR)
                events |= EV_DSR;
            if (changed & TIOCM_CAR)
                events |= EV_RLSD;
            if ((changed & TIOCM_RNG) && (lines & TIOCM_RNG))
                events |= EV_RING;
            m_lastLines = std::uint32_t(lines);
            recordLocked(events);
        }
    }
    if (m_txDraining) {
        int queued = 0;
        if (m_driver->outputQueue(m_fd, queued) != 0 || queued == 0) {
            m_txDraining = false;
            recordLocked(EV_TXEMPTY);
        }
    }
}

TWaitResult TLinuxComDevice::waitEvents(int stopFd, std::uint32_t& mask)
{
    mask = 0;
    for (;;) {
        pollfd fds[3] = { { stopFd, POLLIN, 0 }, { m_wake.get(), POLLIN, 0 }, { -1, POLLIN, 0 } };
        int timeout = -1;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending != 0) {
                // The stop request wins over a batch that is ready at the same moment.
                if (readable(stopFd))
                    return TWaitResult::Stopped;
                mask = m_pending;
                m_pending = 0;
                return TWaitResult::Events;
            }
            if (m_fd >= 0 && !m_hungUp && m_input.space() > 0)
                fds[2].fd = m_fd;
            if (m_fd >= 0 && !m_hungUp && needsSamplingLocked()) {
                const auto left = m_nextSample - Clock::now();
                timeout = int(std::max<std::int64_t>(
                    0, std::chrono::ceil<std::chrono::milliseconds>(left).count()));
            }
        }
        const int ready = ::poll(fds, 3, timeout);
        if (ready < 0 && errno != EINTR) {
            // Nothing to wait on but the stop request; pause so a failing poll cannot spin.
            pollfd stop { stopFd, POLLIN, 0 };
            ::poll(&stop, 1, 100);
            return TWaitResult::Failed;
        }
        if (ready > 0 && fds[0].revents != 0)
            return TWaitResult::Stopped;
        if (ready > 0 && fds[1].revents != 0)
            m_wake.drain();
        std::lock_guard lock(m_mutex);
        if (ready > 0 && fds[2].revents != 0)
            pumpLocked();
        const auto now = Clock::now();
        if (m_fd >= 0 && !m_hungUp && needsSamplingLocked() && now >= m_nextSample)
            sampleLinesLocked(now);
    }
}

} // namespace cport
