#include "platform/AtomicFile.h"

#include "platform/FileDescriptor.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

// The file a replacement must write: the target of a symbolic link (dotfile managers keep
// settings as links), otherwise the path itself.
std::filesystem::path replacedFile(const std::string& path)
{
    std::error_code error;
    const auto target = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path(path) : target;
}

// Creates a temporary file beside target that no other writer uses (O_EXCL), so concurrent
// writers never mix their bytes in one temporary file.
int createTemporary(const std::filesystem::path& target, std::string& name, int& fd)
{
    static std::atomic<unsigned> counter { 0 };
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target.string() + ".tmp-" + std::to_string(::getpid()) + "-"
            + std::to_string(counter++);
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int writeTemporary(int fd, const std::filesystem::path& target, const std::string& bytes)
{
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0)
        return errno;
    if (const int error = writeAll(fd, bytes))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

int readWholeFile(const std::string& path, std::string& bytes)
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
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

int replaceWholeFile(const std::string& path, const std::string& bytes)
{
    const std::filesystem::path target = replacedFile(path);
    std::string temporary;
    int fd = -1;
    if (const int error = createTemporary(target, temporary, fd))
        return error;
    FileDescriptor file(fd);
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
    const std::filesystem::path folderPath
        = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    FileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return 0;
}

} // namespace platform
