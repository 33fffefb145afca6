#pragma once
// What the status command makes of the printer's answers: an exit code for scripts, lines for
// people (the summary, then the printer pane's lights in words) and JSON for programs.

#include "cli/FailureKind.h"
#include "printer/PrinterQueries.h"

#include <string>

namespace cli {

// 3 when an answer or the driver reports a fault (offline, paper end, cover open, an error),
// otherwise 4 when a question got no usable answer, otherwise 0: the printer is ready.
int statusExitCode(const printer::PrinterReport& report);

// The summary line, then one line per light of the pane (the driver's lights too, for a
// parallel or USB printer).
std::string statusText(const printer::PrinterReport& report);

// The version of the JSON's form: a key is only ever added while it stays 1.
constexpr int kJsonFormat = 1;

// One JSON object on one line: "format", "ready", "summary", each query's "outcome" and
// "reply", every condition (null where its query got no usable answer), the printer ID bytes,
// the driver's view and the lights.
std::string statusJson(const printer::PrinterReport& report);

// One JSON object on one line for a printer that could not be asked: "format", "ready" (false),
// "kind" (FailureKind.h) and "error", the message as the error line says it (UTF-8).
std::string failureJson(FailureKind kind, const std::string& message);

} // namespace cli
