#pragma once
// The narrow interface between a port and the device behind it. Every operation returns 0 on
// success or the system's error number; the port turns failures into EComPort codes. A closed
// device answers EBADF, as an invalid handle would.

#include "serial/core/ComTransfer.h"
#include "serial/core/DeviceRecords.h"

#include <cstdint>
#include <memory>
#include <string>

namespace cport {

// Line errors and the input queue length, as the error query reports them.
struct TDeviceStatus {
    std::uint32_t errors = 0; // CE_* flags
    std::uint32_t inputQueue = 0;
};

enum class TWaitResult {
    Events, // a batch of events is in the mask argument
    Stopped, // the stop descriptor was signalled (it wins over a simultaneous batch)
    Failed, // the wait completed without a batch; the next wait may begin at once
};

class TComDevice {
public:
    virtual ~TComDevice() = default;

    // Opens the device that the port name `port` stands for (the device knows how its system
    // names devices; an absolute path is used as it is) exclusively, with locks that end with
    // their holder; nothing is created, and anything but a serial line or a pseudo-terminal
    // slave (the caller's own terminal included) is refused (ENOTTY) without being opened.
    virtual int open(const std::string& port) = 0;
    // A line for the message of the last refused open that says more than its error number
    // (which lock file, held by which process, keeps the device closed); empty when none.
    virtual std::string openFailureDetail() const { return {}; }
    // Releases the device; does nothing when it is not open.
    virtual void release() = 0;
    // The system handle while open, -1 otherwise.
    virtual int handle() const = 0;

    // Recommended queue sizes; negative sizes are refused.
    virtual int setQueueSizes(std::int32_t input, std::int32_t output) = 0;
    virtual int setLineSettings(const TDcb& dcb) = 0;
    virtual int setTimeouts(const TCommTimeouts& timeouts) = 0;
    // PURGE_* flags: the abort flags end pending transfers, the clear flags drop queued bytes.
    virtual int purge(std::uint32_t flags) = 0;

    // Bytes a write has handed to the driver that have not gone down the line yet; 0 for a
    // device without such a queue (the default).
    virtual int outputQueue(std::uint32_t& queued)
    {
        queued = 0;
        return 0;
    }

    // Issues a read or write described by record.overlapped (source or destination, count) and
    // moves what it can at once; `moved` receives that count. An issued write goes on, in
    // issue order, while the caller does other things; a write whose record is marked
    // collectedAtOnce may be carried out whole before this returns. A write waits for its bytes
    // to leave the driver within its time limit (overlapped.timeLimit when set, else the write
    // limits of the time-out record); it counts every byte the driver took, those still queued
    // at its end included (they go out as the line flows), so no byte is ever sent twice by a
    // caller that sends the rest again. A write of no bytes only waits for the queue to drain.
    virtual int startTransfer(TComTransfer& record, std::uint32_t& moved) = 0;
    // Waits until the issued request has completed (or its time limit passed, or it was
    // aborted, which sets overlapped.endedByAbort); `moved` receives the bytes the whole
    // request moved. A record with nothing issued completes at once with 0.
    virtual int awaitTransfer(TComTransfer& record, std::uint32_t& moved) = 0;

    // Reports and clears the line errors, and reports the input queue length.
    virtual int clearErrors(TDeviceStatus& status) = 0;
    // MS_* bits of the modem input lines (0 for a device without modem lines).
    virtual int modemStatus(std::uint32_t& status) = 0;

    // EV_* bits the device records for the next wait; 0 records none.
    virtual int setEventMask(std::uint32_t mask) = 0;
    // Blocks until events of the mask occur (their bits go to `mask`) or `stopFd` becomes
    // readable. Never busy-waits, also not on a device that has hung up.
    virtual TWaitResult waitEvents(int stopFd, std::uint32_t& mask) = 0;
};

// The Linux serial device (termios2, the component's own input queue).
std::unique_ptr<TComDevice> makeLinuxComDevice();

} // namespace cport
