#include "tests/app/PtyPort.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace testsupport {

namespace {

constexpr std::size_t slowPiece = 1024;
constexpr int slowPauseMs = 500;
constexpr std::size_t readBeforeStopping = 4096;

} // namespace

PtyPort::PtyPort(const std::string& sysRoot, const std::string& name, Mode mode)
    : m_name(name)
    , m_mode(mode)
{
    char slavePath[256];
    int master, slave;
    if (openpty(&master, &slave, slavePath, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_master.reset(master);
    m_slave.reset(slave);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    namespace fs = std::filesystem;
    fs::create_directories(sysRoot + "/sys/class/tty/" + name + "/device/driver");
    fs::create_directories(sysRoot + "/dev");
    fs::remove(sysRoot + "/dev/" + name);
    fs::create_symlink(slavePath, sysRoot + "/dev/" + name);
    if (mode != Mode::NeverRead) {
        if (!m_stop.valid())
            throw std::runtime_error("eventfd failed");
        m_reader = std::thread([this] { collect(); });
    }
}

PtyPort::~PtyPort()
{
    unplug();
}

void PtyPort::stopReader()
{
    if (!m_reader.joinable())
        return;
    m_stop.signal();
    m_reader.join();
}

void PtyPort::unplug()
{
    stopReader();
    m_slave.reset();
    m_master.reset();
}

std::size_t PtyPort::nextReadSize(std::size_t buffered) const
{
    switch (m_mode) {
    case Mode::Slow:
        return slowPiece;
    case Mode::StopsAfter4K:
        return readBeforeStopping - std::min(m_total, readBeforeStopping);
    default:
        return buffered;
    }
}

std::string PtyPort::take(std::size_t count, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_arrived.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= count; });
    return std::exchange(m_received, {});
}

void PtyPort::collect()
{
    char buffer[4096];
    for (;;) {
        const std::size_t wanted = nextReadSize(sizeof buffer);
        pollfd waits[2]
            = { { m_stop.get(), POLLIN, 0 }, { wanted > 0 ? m_master.get() : -1, POLLIN, 0 } };
        if (poll(waits, 2, -1) < 0 && errno != EINTR)
            return;
        if (waits[0].revents)
            return;
        if (!(waits[1].revents & POLLIN))
            continue;
        const ssize_t got = read(m_master.get(), buffer, wanted);
        if (got <= 0)
            continue;
        {
            std::lock_guard lock(m_mutex);
            m_received.append(buffer, static_cast<std::size_t>(got));
            m_total += static_cast<std::size_t>(got);
            m_arrived.notify_all();
        }
        pollfd stop { m_stop.get(), POLLIN, 0 };
        if (m_mode == Mode::Slow && poll(&stop, 1, slowPauseMs) > 0)
            return;
    }
}

} // namespace testsupport
