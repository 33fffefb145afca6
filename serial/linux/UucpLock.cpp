#include "serial/linux/UucpLock.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/SysRoot.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace cport {

namespace {

std::string findLockFolder()
{
    for (const char* folder : { "/run/lock", "/var/lock" }) {
        const std::string path = platform::underSysRoot(folder);
        struct stat info;
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return path;
    }
    return {};
}

// The lock folder, looked up once per system root.
std::string lockFolder()
{
    static std::mutex mutex;
    static std::string root = "\n"; // no system root is named so
    static std::string folder;
    std::lock_guard lock(mutex);
    if (const std::string now = platform::sysRoot(); now != root) {
        root = now;
        folder = findLockFolder();
    }
    return folder;
}

bool alive(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The holder of the lock file at path; nothing when there is no such file.
bool readHolder(const std::string& path, TLockHolder& holder)
{
    std::string bytes;
    if (platform::readWholeFile(path, bytes, 64) == ENOENT)
        return false;
    holder.file = path;
    holder.pid = uucpLockHolder(bytes);
    holder.alive = holder.pid != 0 && alive(holder.pid);
    return true;
}

// Writes our lock where no one sees it and links it into place, so no reader ever sees a lock
// file without its process id: an unnamed file of the folder (O_TMPFILE) where the file system
// has them, else a file under a private name. 0 and its inode, EEXIST when a lock stands, or
// another errno.
int placeLock(const std::string& folder, const std::string& path, ino_t& inode)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", int(::getpid()));
    const auto fill = [&](int fd) {
        struct stat info;
        if (::write(fd, text, 11) != 11)
            return errno != 0 ? errno : EIO;
        if (::fstat(fd, &info) != 0)
            return errno;
        inode = info.st_ino;
        return 0;
    };
    {
        platform::FileDescriptor file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
        if (file.valid()) {
            if (const int error = fill(file.get()))
                return error;
            const std::string self = "/proc/self/fd/" + std::to_string(file.get());
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return 0;
            if (errno != ENOENT) // no /proc: the private name serves
                return errno;
        }
    }
    const std::string temporary = path + "." + std::to_string(::getpid());
    int error = 0;
    {
        platform::FileDescriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (file.get() < 0)
            return errno;
        error = fill(file.get());
        if (file.close() != 0 && error == 0)
            error = EIO;
    }
    if (error == 0 && ::link(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    ::unlink(temporary.c_str());
    return error;
}

std::string lastPart(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

} // namespace

std::string lockdevLockName(const std::string& devicePath)
{
    for (const std::string& dev : { std::string("/dev/"), platform::underSysRoot("/dev/") }) {
        if (devicePath.size() > dev.size() && devicePath.compare(0, dev.size(), dev) == 0) {
            std::string name = devicePath.substr(dev.size());
            std::replace(name.begin(), name.end(), '/', '_');
            return "LCK.." + name;
        }
    }
    return lastPartLockName(devicePath);
}

std::string lastPartLockName(const std::string& path)
{
    return "LCK.." + lastPart(path);
}

std::vector<std::string> uucpLockNames(const std::string& givenPath, const std::string& devicePath)
{
    std::vector<std::string> names;
    for (const std::string& name : { lockdevLockName(devicePath), lockdevLockName(givenPath),
             lastPartLockName(givenPath) }) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

pid_t uucpLockHolder(const std::string& bytes)
{
    if (bytes.size() == sizeof(std::int32_t)) {
        std::int32_t binary = 0;
        std::memcpy(&binary, bytes.data(), sizeof binary);
        return binary > 0 ? pid_t(binary) : 0;
    }
    long pid = 0;
    std::size_t i = bytes.find_first_not_of(' ');
    for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9' && pid < INT32_MAX; ++i)
        pid = pid * 10 + (bytes[i] - '0');
    return pid > 0 && pid <= INT32_MAX ? pid_t(pid) : 0;
}

int TUucpLock::acquire(const std::string& givenPath, const std::string& devicePath)
{
    release();
    m_blocker = {};
    const std::string folder = lockFolder();
    if (folder.empty())
        return 0;
    const std::vector<std::string> names = uucpLockNames(givenPath, devicePath);
    // The other programs' names: a live holder keeps the device closed; a stale one is theirs
    // to clear.
    for (std::size_t i = 1; i < names.size(); ++i) {
        TLockHolder holder;
        if (readHolder(folder + "/" + names[i], holder) && holder.alive
            && holder.pid != ::getpid()) {
            m_blocker = holder;
            return EBUSY;
        }
    }
    const std::string path = folder + "/" + names.front();
    // Twice at most: once more when another program took the lock between our look and ours.
    for (int attempt = 0; attempt < 2; ++attempt) {
        TLockHolder holder;
        if (readHolder(path, holder)) {
            if (holder.pid == ::getpid())
                return 0; // our own lock, held for another port object of this process
            m_blocker = holder;
            if (holder.alive)
                return EBUSY;
            ::unlink(path.c_str()); // stale: its process has gone
        }
        const int error = placeLock(folder, path, m_inode);
        if (error == 0) {
            m_path = path;
            m_blocker = {};
            return 0;
        }
        if (error != EEXIST)
            return 0; // no writable lock folder: the device's own lock still guards it
    }
    // The stale lock stays (another user's, in the sticky lock folder), or new ones keep coming.
    readHolder(path, m_blocker);
    return EBUSY;
}

void TUucpLock::release()
{
    if (m_path.empty())
        return;
    struct stat info;
    if (::lstat(m_path.c_str(), &info) == 0 && info.st_ino == m_inode)
        ::unlink(m_path.c_str());
    m_path.clear();
}

} // namespace cport
