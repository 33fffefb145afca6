#pragma once
// quillet-send's command line taken apart in the manner of GNU tools: options before, between
// or after the command ("--timeout 300" or "--timeout=300"), "--" ends the options.

#include "cli/Invocation.h"

#include <string>
#include <vector>

namespace cli {

// The arguments after the program's name. Raises UsageError, in one line, for anything that
// cannot be run: an unknown option or command, a missing or extra operand, a bad connection,
// time limit or code page, no connection or more than one.
Invocation parseArguments(const std::vector<std::string>& arguments);

} // namespace cli
