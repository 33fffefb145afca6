#pragma once
// A wake-up descriptor: one thread signals, another thread waiting in poll() on it wakes and
// drains it. Signals coalesce (a counter, not a queue), and neither call ever blocks.

#include "platform/FileDescriptor.h"

namespace platform {

class EventFd {
public:
    // Makes a non-blocking, close-on-exec eventfd. When the system refuses one, valid() is false
    // and error() gives the errno; signal() and drain() then do nothing.
    EventFd();

    bool valid() const { return m_fd.valid(); }
    int error() const { return m_error; }
    // For poll(): readable while a signal is pending.
    int get() const { return m_fd.get(); }

    // Wakes whoever waits on the descriptor now or next. Safe from any thread; const because it
    // changes only the kernel's counter, so a shared, read-only owner can be signalled.
    void signal() const;
    // Takes every pending signal away; whether there was any. Never waits.
    bool drain() const;

private:
    FileDescriptor m_fd;
    int m_error = 0;
};

} // namespace platform
