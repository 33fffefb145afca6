#include "cli/DeviceAttempt.h"

#include "printer/PermissionHint.h"

#include <algorithm>
#include <thread>

namespace cli {

namespace {

constexpr std::chrono::milliseconds kRetryPause(100);

std::optional<DeviceFailure> attemptOnce(const TargetConnection& connection,
    printer::Connection kind, const std::function<void()>& action)
{
    // The kind is read from the failure as raised, before the hint turns a permission failure
    // into a plain message.
    FailureKind failureKind = FailureKind::Failed;
    try {
        printer::runWithPermissionHint(connection, [&] {
            try {
                action();
            } catch (const std::exception& error) {
                failureKind = openFailureKind(kind, error);
                throw;
            }
        });
        return std::nullopt;
    } catch (...) {
        return DeviceFailure { std::current_exception(), failureKind };
    }
}

} // namespace

std::optional<DeviceFailure> attemptWithWait(const TargetConnection& connection,
    printer::Connection kind, std::chrono::milliseconds wait, const std::function<void()>& action)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    for (;;) {
        auto failure = attemptOnce(connection, kind, action);
        const auto now = Clock::now();
        if (!failure || failure->kind != FailureKind::Busy || now >= deadline)
            return failure;
        std::this_thread::sleep_for(std::min<Clock::duration>(kRetryPause, deadline - now));
    }
}

} // namespace cli
