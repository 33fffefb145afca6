#pragma once
// The lock files Linux serial programs agree on (minicom, picocom, cu and the like): a file
// "LCK..<device name>" in /run/lock (or /var/lock) holding the holder's process id as ten
// characters and a newline. A lock whose process has gone is stale and is removed. The lock
// folder lies below the test system root (QUILLET_SYSROOT).

#include <string>
#include <sys/types.h>

namespace cport {

class TUucpLock {
public:
    TUucpLock() = default;
    ~TUucpLock() { release(); }
    TUucpLock(const TUucpLock&) = delete;
    TUucpLock& operator=(const TUucpLock&) = delete;

    // Takes the device at devicePath: 0 when it was free and this process's lock file now
    // stands (or no lock folder can be written, which leaves the device to its other lock),
    // EBUSY while a live process holds it.
    int acquire(const std::string& devicePath);
    // Removes this process's lock file, if it still is ours.
    void release();

private:
    std::string m_path; // our lock file, empty when none
    ino_t m_inode = 0; // its inode: a file at that path with another one is not ours
};

// The lock file's name for a device: "LCK.." and the last part of its path.
std::string uucpLockName(const std::string& devicePath);

// The process id a lock file's bytes hold (ten-character text, or the binary form of old
// programs); 0 when they hold none.
pid_t uucpLockHolder(const std::string& bytes);

} // namespace cport
