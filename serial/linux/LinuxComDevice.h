#pragma once
// The Linux serial device: a non-blocking terminal descriptor configured through termios2, the
// component's own input queue, and poll() waits that an abort or a stop request ends at once.
// Transfers may run on any thread while the monitor thread waits for events; one lock guards
// the shared state, never held across a blocking call.
//
// Opening: only serial lines and pseudo-terminal slaves are opened (TerminalDevices.h); the
// device is locked by its lock file (UucpLock.h) and flock(), and a serial line also by
// TIOCEXCL, which the line drops at its last close, so a killed holder locks nobody out.
//
// Writing: one writer, on poll(): it puts as much as the driver takes per call, waits for room
// on the descriptor and its thread's wake-up (which an abort or a close signals) until the
// request's deadline, and then, on a line with an output queue, for the queue to drain. A
// write that ends by its time limit or an abort counts every byte the driver took, also those
// still in the driver's output queue: they go out as the line flows, so a caller that sends
// the rest again never sends a byte twice. Only discarding the output queue (PURGE_TXCLEAR)
// or closing the port, which discards it so close() cannot hang on a held line, keeps them
// from the line.

#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"
#include "serial/core/ComDevice.h"
#include "serial/core/ComWriteQueue.h"
#include "serial/linux/ComInputQueue.h"
#include "serial/linux/TerminalDriver.h"
#include "serial/linux/TermiosMapping.h"
#include "serial/linux/UucpLock.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

namespace cport {

// Line-event counters of a UART (the kernel's serial_icounter_struct, in our own type).
struct TLineCounters {
    int cts = 0, dsr = 0, rng = 0, dcd = 0;
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};

class TLinuxComDevice final : public TComDevice {
public:
    // On the kernel's terminal layer, or on another (a test's model of a UART's driver).
    explicit TLinuxComDevice(std::shared_ptr<TTerminalDriver> driver = nullptr);
    ~TLinuxComDevice() override;

    int open(const std::string& port) override;
    std::string openFailureDetail() const override { return m_openDetail; }
    void release() override;
    int handle() const override { return m_fd; }
    int setQueueSizes(std::int32_t input, std::int32_t output) override;
    int setLineSettings(const TDcb& dcb) override;
    int setTimeouts(const TCommTimeouts& timeouts) override;
    int purge(std::uint32_t flags) override;
    int outputQueue(std::uint32_t& queued) override;
    int startTransfer(TComTransfer& record, std::uint32_t& moved) override;
    int awaitTransfer(TComTransfer& record, std::uint32_t& moved) override;
    int clearErrors(TDeviceStatus& status) override;
    int modemStatus(std::uint32_t& status) override;
    int setEventMask(std::uint32_t mask) override;
    TWaitResult waitEvents(int stopFd, std::uint32_t& mask) override;

private:
    using Clock = std::chrono::steady_clock;
    using Deadline = std::optional<Clock::time_point>;
    enum class WaitOutcome { Ready, TimedOut, Aborted };
    // What a write needs of the line settings, read once under the lock.
    struct TSendRules {
        bool toggleRts = false; // raise RTS around sending by hand
        bool waitForDsr = false; // sending waits while DSR is off
        double byteMs = 1; // time on the line of one character
    };

    // Input side (LinuxComInput.cpp); every *Locked function runs under m_mutex.
    void pumpLocked();
    void hangUpLocked();
    int flushOutputLocked();
    void recordLocked(std::uint32_t events);
    void wakeWaitersLocked();
    void wakeMonitor();
    void throttleInputLocked();
    void setInputFlow(bool open);
    void sampleLinesLocked(Clock::time_point now);
    void updateCountersLocked();
    bool needsSamplingLocked() const;
    std::size_t takeInput(char* destination, std::size_t count);

    // Transfers (LinuxComTransfers.cpp).
    int startRead(TOverlapped& ov, std::uint32_t& moved);
    int startWrite(TOverlapped& ov, std::uint32_t& moved);
    void carryOutWrite(TOverlapped& ov);
    int writeSome(TOverlapped& ov);
    TSendRules sendRules() const;
    int runWrite(TOverlapped& ov, const TSendRules& rules);
    int writeRest(TOverlapped& ov, const TSendRules& rules, const Deadline& deadline);
    void endWrite(bool drained, bool failed);
    int drainOutput(TOverlapped& ov, const Deadline& deadline, double byteMs, bool& drained);
    int runRead(TOverlapped& ov);
    bool aborted(const TOverlapped& ov, TTransferKind kind) const;
    // Waits until `ready` (no descriptor when its fd is -1) is ready, the deadline passes or
    // the request is aborted.
    WaitOutcome waitFor(
        TOverlapped& ov, TTransferKind kind, pollfd ready, const Deadline& deadline);
    int openTerminal(const std::string& path, dev_t device, platform::FileDescriptor& fd);
    std::string busyDetail(const std::string& path) const;
    bool modemLine(int line);
    void setModemLine(int line, bool on);

    // Owns the device's descriptor while the port is open.
    platform::FileDescriptor m_descriptor;
    // Its number, read without the lock: a port may be closed from its monitor thread (a
    // handler under smNone). -1 while closed.
    std::atomic<int> m_fd { -1 };
    const std::shared_ptr<TTerminalDriver> m_driver;
    TTerminalKind m_kind = TTerminalKind::Refused; // of the open device
    std::string m_openDetail; // who holds the device a refused open found taken
    const platform::EventFd m_wake; // ends the monitor's wait
    TUucpLock m_uucpLock;
    mutable std::mutex m_mutex;
    TComInputQueue m_input;
    TInputRules m_rules;
    TLineSetup m_setup;
    TCommTimeouts m_timeouts;
    std::vector<char> m_readBuffer;
    std::vector<const platform::EventFd*> m_waiters; // wake-ups of transfers blocked in a wait
    std::uint32_t m_eventMask = 0;
    std::uint32_t m_pending = 0; // recorded events not yet taken by a wait
    std::uint32_t m_errors = 0; // CE_* flags not yet taken by clearErrors
    std::atomic<std::uint64_t> m_writeAborts { 0 };
    std::atomic<std::uint64_t> m_readAborts { 0 };
    bool m_hungUp = false;
    bool m_hasModemLines = false;
    bool m_hasCounters = false;
    bool m_hasOutputQueue = true; // false for pseudo-terminals, whose writes leave at once
    bool m_rs485 = false; // the driver toggles RTS around sending
    bool m_inputStopped = false; // input flow control is holding the sender
    bool m_txDraining = false; // a write ended with bytes still queued
    std::uint32_t m_lastLines = 0; // TIOCM_* bits of the last sample
    TLineCounters m_lastCounters;
    Clock::time_point m_nextSample;
    // Started writes, carried out in issue order; declared last, so it goes first.
    std::shared_ptr<TComWriteQueue> m_writes;
};

} // namespace cport
