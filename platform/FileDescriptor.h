#pragma once
// A file descriptor owned by one object: closed when the owner goes, on every way out. The one
// place that closes descriptors by hand; everything else hands them to an owner.

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace platform {

class FileDescriptor {
public:
    FileDescriptor() = default;
    // Takes fd over; a negative fd (a failed open) owns nothing.
    explicit FileDescriptor(int fd) noexcept
        : m_fd(fd)
    {
    }
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(other.release())
    {
    }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes the descriptor owned, if any, and takes fd over in its place.
    void reset(int fd = -1) noexcept
    {
        const int previous = std::exchange(m_fd, fd);
        if (previous >= 0 && previous != fd)
            ::close(previous);
    }
    // Gives the descriptor up without closing it.
    int release() noexcept { return std::exchange(m_fd, -1); }
    // Closes now and returns 0 or the errno (EBADF when nothing is owned): a write error may only
    // surface here. The descriptor is gone either way, EINTR included, so it is never retried.
    int close()
    {
        const int fd = release();
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd = -1;
};

} // namespace platform
