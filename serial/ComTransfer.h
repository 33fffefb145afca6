#pragma once
// One asynchronous transfer: its kind, the private copy of the bytes of a write (kept to tell
// the links what was sent) and the device-side state of the request.

#include "serial/DeviceRecords.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace cport {

enum TTransferKind : std::uint8_t { tkWrite, tkRead };

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
};

// A transfer record. A record serves one transfer at a time and may be reused.
class TComTransfer {
public:
    TComTransfer() = default;
    TComTransfer(const TComTransfer&) = delete;
    TComTransfer& operator=(const TComTransfer&) = delete;

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
