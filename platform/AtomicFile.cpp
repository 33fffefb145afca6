#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// As many links as the kernel follows in one path lookup.
constexpr int maxLinks = 40;

int writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

int writeTemporary(int fd, const std::string& target, const std::string& bytes)
{
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0)
        return errno;
    if (const int error = writeAll(fd, bytes))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

int openLock(const std::string& path, WriterLock::Kind kind)
{
    if (kind == WriterLock::Kind::Folder)
        return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

int readWholeFile(const std::string& path, std::string& bytes, std::size_t limit)
{
    bytes.clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return errno;
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    if (static_cast<std::size_t>(info.st_size) > limit)
        return EFBIG;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        // The file may grow while it is read.
        if (static_cast<std::size_t>(got) > limit - bytes.size()) {
            bytes.clear();
            return EFBIG;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string replacedFile(const std::string& path)
{
    std::filesystem::path current = path;
    for (int link = 0; link < maxLinks; ++link) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return current.string();
        const std::filesystem::path next(std::string(target, static_cast<std::size_t>(length)));
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}

WriterLock::WriterLock(const std::string& lockPath, Kind kind)
    : m_file(openLock(lockPath, kind))
{
    if (m_file.get() < 0) {
        m_error = errno;
        return;
    }
    int locked;
    do
        locked = ::flock(m_file.get(), LOCK_EX);
    while (locked != 0 && errno == EINTR);
    m_error = locked == 0 ? 0 : errno;
}

int replaceWholeFile(const std::string& path, const std::string& bytes)
{
    const std::string target = replacedFile(path);
    // A fixed name is safe: only the holder of the writer lock writes it.
    const std::string temporary = target + ".tmp";
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (file.get() < 0)
        return errno;
    int error = writeTemporary(file.get(), target, bytes);
    if (!error)
        error = file.close();
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself must reach the disk, or a crash could bring the old content back.
    const std::filesystem::path targetPath(target);
    const std::filesystem::path folderPath
        = targetPath.has_parent_path() ? targetPath.parent_path() : std::filesystem::path(".");
    FileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return 0;
}

} // namespace platform
