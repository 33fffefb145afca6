#pragma once
// Runs a program as a shell would, for tests of whole programs: arguments, bytes on standard
// input, and an environment without any display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
// removed), as over SSH. Standard output and standard error are collected apart.

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ProgramResult {
    int exitCode = -1; // 128 + the signal when a signal ended it
    std::string out;
    std::string err;
};

struct ProgramOptions {
    std::string input; // standard input; closed after these bytes
    std::vector<std::pair<std::string, std::string>> environment; // added or replaced
    int timeoutMs = 60000; // then the program is killed and the result has exit code -1
};

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments,
    const ProgramOptions& options = {});

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

} // namespace testsupport
