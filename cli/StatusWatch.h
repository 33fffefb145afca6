#pragma once
// status --watch: automatic status back switched on for a while, each message the printer sends
// unasked written as one JSON line as it arrives, switched off again at the end.

#include "printer/PrinterLink.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace cli {

// One message as a JSON line: "format", "time" (UTC, ISO 8601 with milliseconds), "bytes" in
// hex, and the conditions it reports as keys and in words.
std::string autoStatusJson(std::string_view message, std::chrono::system_clock::time_point when);

// Watches for `duration`, or until `stopped` says so (asked between waits of at most 0.1 s),
// handing each line to `write`, then sends GS a 0. Returns how many messages came. Raises as
// the link raises when sending fails.
std::size_t watchAutoStatus(printer::PrinterLink& link, std::chrono::seconds duration,
    const std::function<void(const std::string&)>& write, const std::function<bool()>& stopped);

} // namespace cli
