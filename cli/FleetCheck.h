#pragma once
// The status of many printers at once (status --targets): each target is asked by a
// quillet-send of its own, up to `jobs` at a time, since a connection's transport (the network
// library above all) serves one printer per process. One JSON object per line comes out as each
// check ends, and the results can also be written in the Prometheus text format.

#include "cli/FleetTargets.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace cli {

struct FleetResult {
    std::string target;
    int exitCode = 0; // the status command's (ExitCode.h)
    std::string statusJson; // its JSON object, without the line end
    double seconds = 0;
};

struct FleetOptions {
    std::string program; // the quillet-send to run for each target
    std::size_t jobs = 16;
    std::chrono::milliseconds timeout; // each answer's limit
    std::chrono::milliseconds wait { 0 }; // --wait for a busy device
};

// Checks every target; `done` is called on this thread as each check ends, in that order.
// Returns the results in the order of the targets.
std::vector<FleetResult> checkFleet(const std::vector<FleetTarget>& targets,
    const FleetOptions& options, const std::function<void(const FleetResult&)>& done);

// The line of one result: the status JSON with "target", "outcome" ("ready", "fault",
// "no answer" or "failed") and "seconds" first.
std::string fleetLine(const FleetResult& result);

// The fleet's exit code: the worst of its results, failed (2) before a fault (3) before no
// answer (4) before ready (0).
int fleetExitCode(const std::vector<FleetResult>& results);

} // namespace cli
