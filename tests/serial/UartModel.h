#pragma once
// A model of a UART's driver under the Linux device (serial/linux/TerminalDriver.h), for what
// pseudo-terminals never do: the device is a pseudo-terminal that reports itself as a serial
// line, and its writes go into a driver output queue (4 KiB by default) that drains down the
// line, at the line's rate, only while the line flows. Drained bytes reach the far end (the
// pseudo-terminal's master). Room is reported as the kernel's terminal layer does: once the
// queue holds fewer than 256 bytes.

#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"
#include "serial/core/ComDevice.h"
#include "serial/linux/TerminalDriver.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace serialtest {

class UartModel : public cport::TTerminalDriver {
public:
    struct Line {
        std::size_t queueSize = 4096;
        double bytesPerSecond = 11520; // 115 200 baud, 8N1
        std::size_t burst = 1; // bytes that leave at once (64 for a USB adapter)
        // A burst also leaves each time the queue's length is asked while the line flows: the
        // queue drains between two looks at it, made certain rather than left to timing.
        bool burstWhenAsked = false;
    };

    // The serial line of the pseudo-terminal slave at `slavePath`; it flows from the start.
    explicit UartModel(const std::string& slavePath);
    UartModel(const std::string& slavePath, Line line);
    ~UartModel() override;
    UartModel(const UartModel&) = delete;
    UartModel& operator=(const UartModel&) = delete;

    // A Linux device on this model, for a TComPort to own.
    static std::unique_ptr<cport::TComDevice> device(std::shared_ptr<UartModel> model);

    // The far end holds the line (CTS off, XOFF), or lets it flow.
    void hold();
    void flow();
    // From now on the line flows `on` of every `period` (a printer that holds it the rest).
    void flowPart(std::chrono::milliseconds on, std::chrono::milliseconds period);

    std::size_t queued() const; // in the driver's output queue
    std::size_t taken() const; // ever taken by the driver
    std::size_t flushed() const; // discarded by TCOFLUSH
    std::size_t sent() const; // gone down the line

    cport::TTerminalKind kindOf(dev_t device) const override;
    ssize_t write(int fd, const char* bytes, std::size_t count) override;
    int outputQueue(int fd, int& queued) override;
    int flushOutput(int fd) override;
    pollfd roomEvent(int fd) override;

private:
    using Clock = std::chrono::steady_clock;
    void run();
    bool flowingLocked(Clock::time_point now) const;
    // Sends up to `count` queued bytes down the line; how many went.
    std::size_t sendLocked(std::size_t count);
    void updateRoomLocked();

    const Line m_line;
    dev_t m_device = 0;
    platform::FileDescriptor m_slave; // the model's own way down the line
    const platform::EventFd m_room; // readable while the queue has room
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<char> m_queue;
    bool m_roomSignalled = false;
    bool m_held = false;
    std::chrono::milliseconds m_on { 0 }, m_period { 0 }; // a period of 0: no pattern
    Clock::time_point m_patternStart;
    std::size_t m_taken = 0, m_flushed = 0, m_sent = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace serialtest
