#pragma once
// Counting how often a file or device node is opened, without touching it: a test proves that
// something was never opened, or was read only once (a stat() is not an open).

#include "platform/FileDescriptor.h"

#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace testsupport {

// Counts the times the file at path is opened while it lives (a stat() is not an open).
class OpenCounter {
public:
    explicit OpenCounter(const std::string& path)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd.get(), path.c_str(), IN_OPEN);
    }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;
    int opens()
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(m_fd.get(), buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                m_opens += (event->mask & IN_OPEN) ? 1 : 0;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_opens;
    }

private:
    platform::FileDescriptor m_fd;
    int m_opens = 0;
};

} // namespace testsupport
