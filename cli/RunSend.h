#pragma once
// One run of quillet-send, from the command line to the exit code: the window's three actions,
// status and raw sending over the connection given, with the window's texts for its failures.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// arguments: those after the program's name. Results go to out, errors and the --hex
// transcript to err; text for people in the terminal's character set `codeset` (JSON always
// in UTF-8); standard input is read for "-". Returns the exit code (ExitCode.h); output that
// could not be written is exit code 2. The caller runs the translator and the serial
// component's module around it.
int runSend(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
    const std::string& codeset);

} // namespace cli
