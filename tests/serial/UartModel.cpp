#include "UartModel.h"

#include "serial/linux/LinuxComDevice.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace serialtest {

namespace {

// The terminal layer reports room for writing below this many queued bytes (WAKEUP_CHARS).
constexpr std::size_t wakeUpChars = 256;
constexpr auto tick = std::chrono::milliseconds(1);

} // namespace

UartModel::UartModel(const std::string& slavePath)
    : UartModel(slavePath, Line {})
{
}

UartModel::UartModel(const std::string& slavePath, Line line)
    : m_line(line)
    , m_slave(::open(slavePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    struct stat node;
    if (!m_slave.valid() || ::stat(slavePath.c_str(), &node) != 0 || !m_room.valid())
        throw std::runtime_error("cannot model a UART on " + slavePath);
    m_device = node.st_rdev;
    {
        std::lock_guard lock(m_mutex);
        updateRoomLocked();
    }
    m_thread = std::thread([this] { run(); });
}

UartModel::~UartModel()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::unique_ptr<cport::TComDevice> UartModel::device(std::shared_ptr<UartModel> model)
{
    return std::make_unique<cport::TLinuxComDevice>(std::move(model));
}

void UartModel::hold()
{
    std::lock_guard lock(m_mutex);
    m_held = true;
    m_period = {};
}

void UartModel::flow()
{
    {
        std::lock_guard lock(m_mutex);
        m_held = false;
        m_period = {};
    }
    m_changed.notify_all();
}

void UartModel::flowPart(std::chrono::milliseconds on, std::chrono::milliseconds period)
{
    {
        std::lock_guard lock(m_mutex);
        m_held = false;
        m_on = on;
        m_period = period;
        m_patternStart = Clock::now();
    }
    m_changed.notify_all();
}

std::size_t UartModel::queued() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

std::size_t UartModel::taken() const
{
    std::lock_guard lock(m_mutex);
    return m_taken;
}

std::size_t UartModel::flushed() const
{
    std::lock_guard lock(m_mutex);
    return m_flushed;
}

std::size_t UartModel::sent() const
{
    std::lock_guard lock(m_mutex);
    return m_sent;
}

cport::TTerminalKind UartModel::kindOf(dev_t device) const
{
    return device == m_device ? cport::TTerminalKind::SerialLine : TTerminalDriver::kindOf(device);
}

ssize_t UartModel::write(int, const char* bytes, std::size_t count)
{
    std::lock_guard lock(m_mutex);
    const std::size_t room = m_line.queueSize - std::min(m_line.queueSize, m_queue.size());
    if (room == 0) {
        errno = EAGAIN;
        return -1;
    }
    const std::size_t taken = std::min(room, count);
    m_queue.insert(m_queue.end(), bytes, bytes + taken);
    m_taken += taken;
    updateRoomLocked();
    m_changed.notify_all();
    return ssize_t(taken);
}

int UartModel::outputQueue(int, int& queued)
{
    std::lock_guard lock(m_mutex);
    if (m_line.burstWhenAsked && flowingLocked(Clock::now())) {
        sendLocked(m_line.burst);
        updateRoomLocked();
    }
    queued = int(m_queue.size());
    return 0;
}

int UartModel::flushOutput(int)
{
    std::lock_guard lock(m_mutex);
    m_flushed += m_queue.size();
    m_queue.clear();
    updateRoomLocked();
    return 0;
}

pollfd UartModel::roomEvent(int)
{
    return { m_room.get(), POLLIN, 0 };
}

void UartModel::updateRoomLocked()
{
    const bool room = m_queue.size() < std::min(wakeUpChars, m_line.queueSize);
    if (room && !m_roomSignalled)
        m_room.signal();
    else if (!room && m_roomSignalled)
        m_room.drain();
    m_roomSignalled = room;
}

bool UartModel::flowingLocked(Clock::time_point now) const
{
    if (m_held)
        return false;
    if (m_period.count() == 0)
        return true;
    return (now - m_patternStart) % m_period < m_on;
}

std::size_t UartModel::sendLocked(std::size_t count)
{
    std::size_t sent = 0;
    while (sent < count && !m_queue.empty()) {
        char bytes[256];
        const std::size_t piece = std::min({ count - sent, sizeof bytes, m_queue.size() });
        std::copy_n(m_queue.begin(), piece, bytes);
        // The far end may not read: what the pseudo-terminal does not take stays queued.
        const ssize_t written = ::write(m_slave.get(), bytes, piece);
        if (written <= 0)
            break;
        m_queue.erase(m_queue.begin(), m_queue.begin() + written);
        m_sent += std::size_t(written);
        sent += std::size_t(written);
    }
    return sent;
}

void UartModel::run()
{
    std::unique_lock lock(m_mutex);
    double credit = 0; // bytes the line could have carried since it last sent
    auto last = Clock::now();
    while (!m_stop) {
        m_changed.wait_for(lock, tick);
        const auto now = Clock::now();
        const double elapsed = std::chrono::duration<double>(now - last).count();
        last = now;
        if (!flowingLocked(now) || m_queue.empty()) {
            credit = 0;
            continue;
        }
        credit += elapsed * m_line.bytesPerSecond;
        while (!m_queue.empty()) {
            const std::size_t piece = std::min(m_line.burst, m_queue.size());
            if (credit < double(piece))
                break;
            const std::size_t sent = sendLocked(piece);
            if (sent == 0)
                break;
            credit -= double(sent);
        }
        updateRoomLocked();
    }
}

} // namespace serialtest
