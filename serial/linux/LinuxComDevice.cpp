#include "serial/linux/LinuxComDevice.h"

#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "serial/core/ComSystem.h"
#include "serial/core/ComTranslation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sstream>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace cport {

namespace {

constexpr std::size_t readChunk = 32 * 1024;
// Used when the recommended input size is 0: a queue must hold something.
constexpr std::size_t defaultInputQueue = 4096;

// A terminal without modem lines (a pseudo-terminal) answers these to the line ioctls.
bool noModemLines(int error)
{
    return error == ENOTTY || error == EINVAL;
}

int flush(int fd, int queue)
{
    return ::ioctl(fd, TCFLSH, queue) == 0 ? 0 : errno;
}

// The device number of the character device at path, learnt without opening it: nothing but a
// serial line is ever opened, for a stored name must never reach a file, and opening another
// device for reading and writing can act on it (a watchdog arms). 0, or the errno.
int characterDeviceAt(const std::string& path, dev_t& device)
{
    struct stat node;
    if (::stat(path.c_str(), &node) != 0)
        return errno;
    if (!S_ISCHR(node.st_mode))
        return ENOTTY;
    device = node.st_rdev;
    return 0;
}

// The device the path names, links resolved (the path itself when it cannot be resolved).
std::string resolvedPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string processName(pid_t pid)
{
    std::string name;
    platform::readWholeFile("/proc/" + std::to_string(pid) + "/comm", name);
    while (!name.empty() && (name.back() == '\n' || name.back() == ' '))
        name.pop_back();
    return name;
}

// The process holding an flock() on the node at path, from /proc/locks; 0 when none is found.
pid_t flockHolder(const std::string& path)
{
    struct stat node;
    if (::stat(path.c_str(), &node) != 0)
        return 0;
    std::string table;
    if (platform::readWholeFile("/proc/locks", table) != 0)
        return 0;
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 00:19:3 0 EOF"; waiters have "->" after the number.
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK")
            continue;
        unsigned devMajor = 0, devMinor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &devMajor, &devMinor, &inode) == 3
            && devMajor == major(node.st_dev) && devMinor == minor(node.st_dev)
            && inode == node.st_ino && pid > 0)
            return pid_t(pid);
    }
    return 0;
}

std::string formatted(const char* pattern, std::initializer_list<platform::FormatArg> args)
{
    try {
        return platform::formatMessage(comTranslate(pattern), args);
    } catch (const platform::EConvertError&) {
        // A translation whose directives do not fit: the original pattern always does.
        return platform::formatMessage(pattern, args);
    }
}

// The message line for a lock file that keeps the device closed.
std::string lockDetail(const TLockHolder& holder)
{
    const std::int64_t pid = holder.pid;
    if (holder.alive) {
        const std::string name = processName(holder.pid);
        if (name.empty())
            return formatted("The port is locked by %s, held by process %d.", { holder.file, pid });
        return formatted(
            "The port is locked by %s, held by process %d (%s).", { holder.file, pid, name });
    }
    if (holder.pid == 0)
        return formatted(
            "The port is locked by %s, which names no process: remove it with \"sudo rm %s\".",
            { holder.file, holder.file });
    return formatted("The port is locked by %s, but process %d no longer exists: remove it with "
                     "\"sudo rm %s\".",
        { holder.file, pid, holder.file });
}

} // namespace

std::unique_ptr<TComDevice> makeLinuxComDevice()
{
    return std::make_unique<TLinuxComDevice>();
}

TLinuxComDevice::TLinuxComDevice(std::shared_ptr<TTerminalDriver> driver)
    : m_driver(driver ? std::move(driver) : std::make_shared<TTerminalDriver>())
    , m_readBuffer(readChunk)
    , m_writes(std::make_shared<TComWriteQueue>([this](TOverlapped& ov) { carryOutWrite(ov); },
          [this] {
              std::lock_guard lock(m_mutex);
              wakeWaitersLocked();
          }))
{
}

TLinuxComDevice::~TLinuxComDevice()
{
    release();
}

std::string TLinuxComDevice::busyDetail(const std::string& path) const
{
    if (!m_uucpLock.blocker().file.empty())
        return lockDetail(m_uucpLock.blocker());
    if (const pid_t holder = flockHolder(path)) {
        const std::string name = processName(holder);
        if (name.empty())
            return formatted("The port is in use by process %d.", { std::int64_t(holder) });
        return formatted("The port is in use by process %d (%s).", { std::int64_t(holder), name });
    }
    return comTranslate("The port is in use by another program.");
}

int TLinuxComDevice::openTerminal(
    const std::string& path, dev_t device, platform::FileDescriptor& fd)
{
    // A serial line held with TIOCEXCL by another program refuses the open itself (EBUSY).
    fd.reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return errno;
    struct stat info;
    int error = 0;
    // The node may have been replaced since it was looked at.
    if (::fstat(fd.get(), &info) != 0 || info.st_rdev != device || !::isatty(fd.get()))
        error = ENOTTY;
    // A lock that ends with its holder, which older versions of Quillet and picocom take too.
    else if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    // A serial line is closed to every other opener (but those with CAP_SYS_ADMIN) until its
    // last close. Not a pseudo-terminal: its master may outlive a killed holder, and the flag
    // with it.
    else if (m_kind == TTerminalKind::SerialLine && ::ioctl(fd.get(), TIOCEXCL) != 0)
        error = errno;
    if (error != 0)
        fd.reset();
    return error;
}

int TLinuxComDevice::open(const std::string& port)
{
    m_openDetail.clear();
    if (m_fd >= 0)
        return EBUSY;
    if (!m_wake.valid())
        return m_wake.error();
    const std::string path = comDevicePath(port);
    dev_t device = 0;
    if (const int error = characterDeviceAt(path, device))
        return error;
    m_kind = m_driver->kindOf(device);
    if (m_kind == TTerminalKind::Refused)
        return ENOTTY;
    if (const int error = m_uucpLock.acquire(path, resolvedPath(path))) {
        if (error == EBUSY)
            m_openDetail = busyDetail(path);
        return error;
    }
    platform::FileDescriptor fd;
    if (const int error = openTerminal(path, device, fd)) {
        if (error == EBUSY)
            m_openDetail = busyDetail(path);
        m_uucpLock.release();
        return error;
    }

    std::lock_guard lock(m_mutex);
    m_descriptor = std::move(fd);
    m_fd = m_descriptor.get();
    m_hasOutputQueue = m_kind == TTerminalKind::SerialLine;
    flush(m_fd, TCIFLUSH);
    flushOutputLocked();
    m_input.clear();
    m_pending = 0;
    m_errors = 0;
    m_hungUp = false;
    m_inputStopped = false;
    m_txDraining = false;
    m_rs485 = false;
    int lines = 0;
    m_hasModemLines = ::ioctl(m_fd, TIOCMGET, &lines) == 0;
    m_lastLines = std::uint32_t(lines);
    m_hasCounters = false;
    updateCountersLocked();
    return 0;
}

void TLinuxComDevice::release()
{
    if (m_fd < 0)
        return;
    // Writes still under way end now with what they moved; the descriptor outlives them.
    ++m_writeAborts;
    {
        std::lock_guard lock(m_mutex);
        wakeWaitersLocked();
    }
    m_writes->stop();
    std::lock_guard lock(m_mutex);
    wakeWaitersLocked();
    // Output that cannot drain would hold close() for the driver's closing wait.
    flushOutputLocked();
    if (m_kind == TTerminalKind::SerialLine)
        ::ioctl(m_fd, TIOCNXCL);
    m_fd = -1;
    m_descriptor.reset();
    m_hungUp = false;
    m_uucpLock.release();
}

int TLinuxComDevice::setQueueSizes(std::int32_t input, std::int32_t output)
{
    if (m_fd < 0)
        return EBADF;
    if (input < 0 || output < 0)
        return EINVAL;
    {
        std::lock_guard lock(m_mutex);
        m_input.setCapacity(input > 0 ? std::size_t(input) : defaultInputQueue);
        throttleInputLocked();
    }
    // The driver's output queue has a fixed size on Linux: the recommendation is accepted.
    wakeMonitor();
    return 0;
}

int TLinuxComDevice::setLineSettings(const TDcb& dcb)
{
    if (m_fd < 0)
        return EBADF;
    if (const int invalid = validateDcb(dcb))
        return invalid;
    const TLineSetup setup = lineSetupFromDcb(dcb);
    if (const int error = writeTermios(m_fd, setup.termios))
        return error;

    bool rs485 = false;
    if (setup.rtsControl == RTS_CONTROL_TOGGLE) {
        serial_rs485 rs {};
        rs.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        rs485 = ::ioctl(m_fd, TIOCSRS485, &rs) == 0;
    } else if (m_rs485) {
        serial_rs485 rs {};
        ::ioctl(m_fd, TIOCSRS485, &rs);
    }
    std::lock_guard lock(m_mutex);
    m_setup = setup;
    m_rs485 = rs485;
    m_rules.checkParity = setup.checkParity;
    m_rules.replaceErrors = setup.replaceErrors;
    m_rules.replaceChar = setup.replaceChar;
    m_rules.discardNull = setup.discardNull;
    m_rules.eventChar = setup.eventChar;
    m_rules.errorsFromCounters = m_hasCounters;
    if (m_hasModemLines) {
        setModemLine(TIOCM_DTR,
            setup.dtrControl == DTR_CONTROL_ENABLE
                || (setup.dtrControl == DTR_CONTROL_HANDSHAKE && !m_inputStopped));
        if (!setup.rtsByKernel && !m_rs485)
            setModemLine(TIOCM_RTS,
                setup.rtsControl == RTS_CONTROL_ENABLE
                    || (setup.rtsControl == RTS_CONTROL_HANDSHAKE && !m_inputStopped));
    }
    return 0;
}

int TLinuxComDevice::setTimeouts(const TCommTimeouts& timeouts)
{
    if (m_fd < 0)
        return EBADF;
    std::lock_guard lock(m_mutex);
    m_timeouts = timeouts;
    return 0;
}

int TLinuxComDevice::purge(std::uint32_t flags)
{
    if (m_fd < 0)
        return EBADF;
    if (flags & PURGE_TXABORT)
        ++m_writeAborts;
    if (flags & PURGE_RXABORT)
        ++m_readAborts;
    std::lock_guard lock(m_mutex);
    if (flags & (PURGE_TXABORT | PURGE_RXABORT))
        wakeWaitersLocked();
    int error = 0;
    if (flags & PURGE_TXCLEAR) {
        error = flushOutputLocked();
        m_txDraining = false;
    }
    if (flags & PURGE_RXCLEAR) {
        m_input.clear();
        throttleInputLocked();
        if (const int inputError = flush(m_fd, TCIFLUSH))
            error = inputError;
    }
    return m_hungUp ? 0 : error;
}

int TLinuxComDevice::flushOutputLocked()
{
    // A pseudo-terminal's "output queue" is the far end's unread input: flushing it would
    // discard bytes that have already been written.
    return m_hasOutputQueue ? m_driver->flushOutput(m_fd) : 0;
}

int TLinuxComDevice::outputQueue(std::uint32_t& queued)
{
    queued = 0;
    if (m_fd < 0)
        return EBADF;
    if (!m_hasOutputQueue)
        return 0;
    int count = 0;
    if (const int error = m_driver->outputQueue(m_fd, count))
        return error == ENOTTY || error == EINVAL ? 0 : error;
    queued = std::uint32_t(std::max(count, 0));
    return 0;
}

int TLinuxComDevice::clearErrors(TDeviceStatus& status)
{
    if (m_fd < 0)
        return EBADF;
    std::lock_guard lock(m_mutex);
    pumpLocked();
    updateCountersLocked();
    status.errors = m_errors;
    status.inputQueue = std::uint32_t(m_input.size());
    m_errors = 0;
    return 0;
}

int TLinuxComDevice::modemStatus(std::uint32_t& status)
{
    status = 0;
    if (m_fd < 0)
        return EBADF;
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
        return noModemLines(errno) ? 0 : errno;
    if (lines & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (lines & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (lines & TIOCM_RNG)
        status |= MS_RING_ON;
    if (lines & TIOCM_CAR)
        status |= MS_RLSD_ON;
    return 0;
}

bool TLinuxComDevice::modemLine(int line)
{
    int lines = 0;
    return ::ioctl(m_fd, TIOCMGET, &lines) == 0 && (lines & line) != 0;
}

void TLinuxComDevice::setModemLine(int line, bool on)
{
    ::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

void TLinuxComDevice::updateCountersLocked()
{
    serial_icounter_struct counts {};
    if (::ioctl(m_fd, TIOCGICOUNT, &counts) != 0)
        return;
    const TLineCounters now { counts.cts, counts.dsr, counts.rng, counts.dcd, counts.frame,
        counts.overrun, counts.parity, counts.brk, counts.buf_overrun };
    if (!m_hasCounters) {
        // The first reading is the baseline.
        m_hasCounters = true;
        m_lastCounters = now;
        return;
    }
    const TLineCounters& was = m_lastCounters;
    std::uint32_t events = 0;
    std::uint32_t errors = 0;
    if (now.cts != was.cts)
        events |= EV_CTS;
    if (now.dsr != was.dsr)
        events |= EV_DSR;
    if (now.dcd != was.dcd)
        events |= EV_RLSD;
    if (now.rng != was.rng)
        events |= EV_RING;
    if (now.brk != was.brk) {
        events |= EV_BREAK;
        errors |= CE_BREAK;
    }
    if (now.frame != was.frame)
        errors |= CE_FRAME;
    if (now.overrun != was.overrun)
        errors |= CE_OVERRUN;
    if (now.parity != was.parity && m_setup.checkParity)
        errors |= CE_RXPARITY;
    if (now.bufOverrun != was.bufOverrun)
        errors |= CE_RXOVER;
    m_lastCounters = now;
    m_errors |= errors;
    if (errors != 0)
        events |= EV_ERR;
    recordLocked(events);
}

int TLinuxComDevice::setEventMask(std::uint32_t mask)
{
    {
        std::lock_guard lock(m_mutex);
        m_eventMask = mask;
        m_pending &= mask;
    }
    wakeMonitor();
    return m_fd < 0 ? EBADF : 0;
}

} // namespace cport
