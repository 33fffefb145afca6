#pragma once
// What the printer's automatic status messages mean for people: each message against the one
// before it becomes the events a technician reads ("paper end", "cover closed"), and the
// readings it stands for light the status lights as a question's answers would.

#include "printer/PrinterQueries.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace diagnostics {

// The changes from `before` (nullopt: the first message, which reports the state as it is) to
// `after`, in the message's bit order: "paper end", "cover closed", "drawer pin 3 low",
// "recoverable error cleared". Offline or online is told only when nothing else in the same
// message explains it (paper end, an open cover, an error take a printer offline).
std::vector<std::string> autoStatusEvents(
    const std::optional<std::string>& before, std::string_view after);

// The DLE EOT 1 to 4 readings the message reports, for the status lights.
printer::PrinterReport autoStatusReport(std::string_view message);

// "16:01:03 paper end": the event at its local time.
std::string eventLine(std::chrono::system_clock::time_point when, const std::string& event);

} // namespace diagnostics
