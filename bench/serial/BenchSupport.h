#pragma once
// Small helpers shared by the serial benchmarks: pseudo-terminal pairs with a far end that
// drains everything, medians, and running pyserial (Debian python3-serial) for a reference.

#include "bench/support/Median.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace benchsupport {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// A raw pseudo-terminal: the port opens `path`, the benchmark plays the far end on `master`;
// `slave` stays open so the line does not hang up between port sessions.
struct PtyLine {
    platform::FileDescriptor master;
    platform::FileDescriptor slave;
    std::string path;

    PtyLine()
    {
        char name[128];
        termios raw {};
        cfmakeraw(&raw);
        int masterFd = -1;
        int slaveFd = -1;
        if (::openpty(&masterFd, &slaveFd, name, &raw, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        master.reset(masterFd);
        slave.reset(slaveFd);
        path = name;
    }
};

// A pty whose far end (master) reads and counts everything in a thread of its own.
class DrainedPty {
public:
    DrainedPty()
    {
        m_drainer = std::thread([this] { drain(); });
    }
    ~DrainedPty()
    {
        m_stop = true;
        m_drainer.join();
    }
    const std::string& path() const { return m_line.path; }
    long long received() const { return m_received.load(); }
    // Waits until `total` bytes have arrived at the far end.
    void awaitReceived(long long total) const
    {
        while (m_received.load() < total)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }

private:
    void drain()
    {
        std::vector<char> buffer(1 << 16);
        while (!m_stop) {
            pollfd p { m_line.master.get(), POLLIN, 0 };
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(m_line.master.get(), buffer.data(), buffer.size());
            if (n > 0)
                m_received += n;
        }
    }

    PtyLine m_line;
    std::atomic<bool> m_stop { false };
    std::atomic<long long> m_received { 0 };
    std::thread m_drainer;
};

// Runs a Python program with the system's interpreter (where python3-serial lives), isolated
// from the working folder (which holds a folder named "serial"); returns its standard output.
inline std::string runPython(const std::string& program)
{
    const std::string command = "/usr/bin/python3 -I -c '" + program + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    ::pclose(pipe);
    return out;
}

} // namespace benchsupport
