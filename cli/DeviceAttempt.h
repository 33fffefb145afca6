#pragma once
// One use of the printer's connection, tried again while another program holds the device
// (--wait): a serial port or a line printer that is busy now may be free in a moment.

#include "cli/FailureKind.h"
#include "cli/TargetConnection.h"

#include <chrono>
#include <exception>
#include <functional>
#include <optional>

namespace cli {

// What ended an attempt: the exception (the permission hint already added) and its kind.
struct DeviceFailure {
    std::exception_ptr error;
    FailureKind kind = FailureKind::Failed;
};

// Runs `action` with the permission hint (printer/PermissionHint.h) for `connection`; while it
// fails because the device is busy, runs it again every 100 ms until `wait` has passed (0: one
// try). Nothing when it succeeded.
std::optional<DeviceFailure> attemptWithWait(const TargetConnection& connection,
    printer::Connection kind, std::chrono::milliseconds wait, const std::function<void()>& action);

} // namespace cli
