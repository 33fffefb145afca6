#pragma once
// quillet-send as this build made it (its path is QUILLET_SEND, given by the build), run as a
// shell runs it, and the options of a run below a system root of the test's own.

#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

inline ProgramResult runSend(
    const std::vector<std::string>& arguments, const ProgramOptions& options = {})
{
    return runProgram(QUILLET_SEND, arguments, options);
}

inline ProgramOptions withSysRoot(const TempDir& root, std::string input = {})
{
    return { std::move(input), { { "QUILLET_SYSROOT", root.path() } }, 60000 };
}

} // namespace testsupport
