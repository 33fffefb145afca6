#pragma once
// The lock files Linux serial programs agree on: a file "LCK..<name>" in /run/lock (or
// /var/lock) holding the holder's process id as ten characters and a newline. A lock whose
// process has gone is stale. The lock folder lies below the test system root (QUILLET_SYSROOT).
//
// Names: lockdev and minicom name a device by its path below /dev with every '/' as '_'
// ("LCK..ttyUSB0", "LCK..pts_6", "LCK..serial_by-id_usb-X-port0"), a path outside /dev by its
// last part. Ours is named so from the device itself, links resolved, so every name of one
// device gives one lock. Before taking it, a live lock under the name of the path as given (a
// link such as /dev/serial/by-id/..., named the same way) and under the last part of that path
// (the name Quillet used before, "LCK..6" for /dev/pts/6) keeps the device closed as well.

#include <string>
#include <sys/types.h>
#include <vector>

namespace cport {

// The lock file that kept a device closed and its holder.
struct TLockHolder {
    std::string file; // its path
    pid_t pid = 0; // the process id it holds, 0 when it holds none
    bool alive = false; // that process runs
};

class TUucpLock {
public:
    TUucpLock() = default;
    ~TUucpLock() { release(); }
    TUucpLock(const TUucpLock&) = delete;
    TUucpLock& operator=(const TUucpLock&) = delete;

    // Takes the device at `devicePath` (links resolved), reached through `givenPath`: 0 when
    // this process's lock file now stands (or no lock folder can be written, which leaves the
    // device to its other locks); EBUSY while a live process other than this one holds a lock
    // under any of its names, or a stale lock of ours cannot be removed (another user's in the
    // sticky lock folder). `blocker()` then names the file and its holder.
    int acquire(const std::string& givenPath, const std::string& devicePath);
    // Removes this process's lock file, if it still is ours.
    void release();
    // The lock that made the last acquire fail.
    const TLockHolder& blocker() const { return m_blocker; }

private:
    std::string m_path; // our lock file, empty when none
    ino_t m_inode = 0; // its inode: a file at that path with another one is not ours
    TLockHolder m_blocker;
};

// "LCK.." and the device's name as lockdev forms it: the path below /dev (the system's, or the
// test system root's) with '/' as '_', or the last part of a path outside /dev.
std::string lockdevLockName(const std::string& devicePath);
// "LCK.." and the last part of the path.
std::string lastPartLockName(const std::string& path);
// The names a device's lock may stand under: ours (from the resolved device) first, then those
// of the path as given, without repeats.
std::vector<std::string> uucpLockNames(const std::string& givenPath, const std::string& devicePath);

// The process id a lock file's bytes hold (ten-character text, or the binary form of old
// programs); 0 when they hold none.
pid_t uucpLockHolder(const std::string& bytes);

} // namespace cport
