#pragma once
// One asynchronous transfer: its kind, the private copy of the bytes of a write (kept to tell
// the links what was sent) and the device-side state of the request.

#include "serial/core/DeviceRecords.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace cport {

enum TTransferKind : std::uint8_t { tkWrite, tkRead };

struct TOverlapped;

// The side of a device that carries out issued requests on a thread of its own.
class TTransferHolder {
public:
    virtual ~TTransferHolder() = default;
    // Blocks until the request has been carried out to its end.
    virtual void await(TOverlapped& ov) = 0;
    // Ends the request early, if it is still held, and lets go of it: the memory it names may
    // be freed when this returns.
    virtual void forget(TOverlapped& ov) = 0;
};

// The state of the request at the device, from issue to collection.
struct TOverlapped {
    const char* source = nullptr; // caller's bytes of a write, valid until collected
    char* destination = nullptr; // caller's buffer of a read
    std::uint32_t count = 0;
    std::uint32_t moved = 0; // bytes moved so far
    bool pending = false; // issued and not yet collected
    int error = 0; // errno that ended the request, 0 when none
    std::uint64_t abortGeneration = 0; // the device's abort count when issued
    std::chrono::steady_clock::time_point issued;
    TCommTimeouts timeouts; // the limits in force when issued
    // A time limit of this write alone, in place of the write limits of `timeouts`.
    std::optional<std::chrono::milliseconds> timeLimit;
    bool endedByAbort = false; // the request ended because it was aborted (or its port closed)
    // Set while a device thread carries the request out; only the issuing side resets it.
    std::shared_ptr<TTransferHolder> holder;
    bool carriedOut = false; // guarded by the holder
    bool collectedAtOnce = false; // the issuer waits for the request right after issuing it
    std::atomic<bool> cancelled { false }; // the record goes before the request has ended
};

// A transfer record. A record serves one transfer at a time and may be reused.
class TComTransfer {
public:
    TComTransfer() = default;
    // A request still under way is ended first, so no device thread touches freed memory.
    ~TComTransfer() { settle(); }
    TComTransfer(const TComTransfer&) = delete;
    TComTransfer& operator=(const TComTransfer&) = delete;

    // Ends and lets go of a request that a device thread still carries out (before the record
    // is reused or freed without having been collected).
    void settle()
    {
        if (auto holder = std::move(overlapped.holder))
            holder->forget(overlapped);
    }

    std::optional<TTransferKind> kind; // none until a transfer is started
    std::unique_ptr<char[]> data; // copy of the current write's bytes, or none
    std::int32_t size = 0;
    TOverlapped overlapped;
};

// A fresh record in `record` (replacing whatever it held).
void newTransfer(std::unique_ptr<TComTransfer>& record);
// Frees the record with its copy; `record` becomes empty.
void disposeTransfer(std::unique_ptr<TComTransfer>& record);
// Sets the kind and replaces the copy with `count` bytes from `bytes`.
void prepareTransfer(
    TTransferKind kind, const char* bytes, std::int32_t count, TComTransfer& record);

} // namespace cport
