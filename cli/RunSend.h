#pragma once
// One run of quillet-send, from the command line to the exit code: the window's three actions,
// status and raw sending over the connection given, with the window's texts for its failures.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// arguments: those after the program's name. Results go to out, errors and the --hex
// transcript to err; standard input is read for "-". Returns the exit code (ExitCode.h).
// The caller runs the translator and the serial component's module around it.
int runSend(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace cli
