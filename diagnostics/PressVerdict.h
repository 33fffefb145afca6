#pragma once
// Print and verify: what became of a press, from the status asked after it and the automatic
// status messages that came while it ran.

#include "printer/PrinterQueries.h"

#include <string>
#include <vector>

namespace diagnostics {

inline constexpr const char* kPrintedVerdict
    = "Printed: the printer took every byte and reports ready";
inline constexpr const char* kPaperOutVerdict = "Paper ran out during the job";
inline constexpr const char* kCoverOpenVerdict = "Cover opened during the job";
inline constexpr const char* kNoAnswerVerdict = "No answer — the job may or may not have printed";

// The verdict on a press whose every byte was delivered: paper end (asked afterwards or told
// during the job) first, then an open cover, then silence, then ready. A printer that answers
// with another trouble gets its status summary ("The printer took every byte but reports …").
std::string pressVerdict(
    const printer::PrinterReport& after, const std::vector<std::string>& messagesDuringJob);

} // namespace diagnostics
