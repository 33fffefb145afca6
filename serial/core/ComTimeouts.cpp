#include "serial/core/ComTimeouts.h"

#include <algorithm>

namespace cport {

namespace {

std::optional<std::chrono::milliseconds> totalLimit(
    std::uint32_t multiplier, std::uint32_t constant, std::uint32_t count)
{
    if (multiplier == 0 && constant == 0)
        return std::nullopt;
    // 64 bits hold the product of two 32-bit values plus a third.
    const std::uint64_t ms = std::uint64_t(multiplier) * count + constant;
    const auto longest = std::uint64_t(std::chrono::milliseconds::max().count());
    return std::chrono::milliseconds(static_cast<std::int64_t>(std::min(ms, longest)));
}

} // namespace

TReadPlan readPlan(const TCommTimeouts& timeouts, std::uint32_t count)
{
    TReadPlan plan;
    const std::uint32_t interval = timeouts.ReadIntervalTimeout;
    const std::uint32_t multiplier = timeouts.ReadTotalTimeoutMultiplier;
    const std::uint32_t constant = timeouts.ReadTotalTimeoutConstant;
    if (interval == maxDword && multiplier == 0 && constant == 0) {
        plan.immediate = true;
        return plan;
    }
    if (interval == maxDword && multiplier == maxDword && constant != 0 && constant != maxDword) {
        plan.returnOnFirstByte = true;
        plan.total = std::chrono::milliseconds(constant);
        return plan;
    }
    plan.total = totalLimit(multiplier, constant, count);
    if (interval != 0)
        plan.interval = std::chrono::milliseconds(interval);
    return plan;
}

std::optional<std::chrono::milliseconds> writeTimeLimit(
    const TCommTimeouts& timeouts, std::uint32_t count)
{
    return totalLimit(
        timeouts.WriteTotalTimeoutMultiplier, timeouts.WriteTotalTimeoutConstant, count);
}

} // namespace cport
