#pragma once
// The time-limit rules of the timeout record, as pure functions of the record and the count.

#include "serial/core/DeviceRecords.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace cport {

// How a read of some number of bytes ends.
struct TReadPlan {
    // Return at once with whatever has already arrived, possibly nothing.
    bool immediate = false;
    // Return as soon as at least one byte is there (waiting at most `total` for it).
    bool returnOnFirstByte = false;
    // Limit for the whole read; none means no limit.
    std::optional<std::chrono::milliseconds> total;
    // Limit between two bytes, counted from the first byte on; none means no limit.
    std::optional<std::chrono::milliseconds> interval;

    friend bool operator==(const TReadPlan&, const TReadPlan&) = default;
};

TReadPlan readPlan(const TCommTimeouts& timeouts, std::uint32_t count);

// Write limit: multiplier x count + constant; none when both are zero.
std::optional<std::chrono::milliseconds> writeTimeLimit(
    const TCommTimeouts& timeouts, std::uint32_t count);

} // namespace cport
