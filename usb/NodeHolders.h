#pragma once
// Which processes hold a device node open: found by looking through every /proc/PID/fd for a
// descriptor on the same file. Only the processes this user may look into are seen (those of
// other users, such as a spooler running as root, stay hidden).

#include <string>
#include <sys/types.h>
#include <vector>

namespace usb {

struct NodeHolder {
    pid_t pid = 0;
    std::string name; // from /proc/PID/comm
};

// The processes other than this one with a descriptor open on the file at `path`, by pid.
std::vector<NodeHolder> processesHolding(const std::string& path);

// "quillet-send (pid 4711), cupsd (pid 812)"
std::string holdersText(const std::vector<NodeHolder>& holders);

} // namespace usb
