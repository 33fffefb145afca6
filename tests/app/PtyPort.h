#pragma once
// A pseudo-terminal presented as a serial port below the test system root:
// <root>/sys/class/tty/<name>/device/driver makes the port list offer <name>, and
// <root>/dev/<name> leads to the terminal's slave side. The test plays the printer on the
// master side.

#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class PtyPort {
public:
    enum class Mode {
        Collect, // a thread reads everything that arrives
        NeverRead, // nothing is read, so the terminal's buffer fills and writers stall
        Slow, // a thread reads 1 KB every 500 ms
        StopsAfter4K, // a thread reads the first 4 KB, then nothing more
    };
    // A port called `name`; an earlier port of that name below the root is replaced, as a
    // device plugged in again comes back under its old name.
    PtyPort(const std::string& sysRoot, const std::string& name, Mode mode = Mode::Collect);
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    const std::string& name() const { return m_name; }
    // Waits (up to timeoutMs) until at least `count` bytes have arrived, then takes them all.
    std::string take(std::size_t count, int timeoutMs = 10000);
    // The device goes away, as when its cable is pulled: the terminal's far side closes, and
    // the program's descriptor only fails from now on. Safe from another thread than the test's.
    void unplug();

private:
    void collect();
    // How much the next read may take: everything, 1 KB, or what is left of the first 4 KB.
    std::size_t nextReadSize(std::size_t buffered) const;
    void stopReader();

    std::string m_name;
    Mode m_mode;
    platform::FileDescriptor m_master;
    // Held open so that the master never sees a hang-up between the program's opens.
    platform::FileDescriptor m_slave;
    platform::EventFd m_stop;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::string m_received;
    std::size_t m_total = 0; // read by the reader thread so far
    std::thread m_reader;
};

} // namespace testsupport
