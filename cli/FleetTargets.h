#pragma once
// The printers of a fleet check (--targets FILE): one connection a line, as it would follow
// quillet-send on its command line ("--net 192.0.2.10", "--com ttyUSB0:9600", "--lpt LPT1");
// "#" starts a comment, blank lines are skipped.

#include <string>
#include <vector>

namespace cli {

struct FleetTarget {
    std::string text; // the line without its comment and outer blanks: the target's name
    std::vector<std::string> words; // its connection arguments
};

// The targets of the file ("-" for standard input). Raises UsageError for a file that cannot
// be read, a line that is no single connection ("FILE:LINE: ..."), or a file without targets.
std::vector<FleetTarget> readFleetTargets(const std::string& path);

} // namespace cli
