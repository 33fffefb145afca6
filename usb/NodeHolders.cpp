#include "usb/NodeHolders.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace usb {

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether one of the process's descriptors is on the file; false when it may not be seen.
bool holds(const std::filesystem::path& process, const struct stat& node)
{
    std::error_code error;
    for (std::filesystem::directory_iterator fd(process / "fd", error), end; !error && fd != end;
         fd.increment(error)) {
        struct stat opened { };
        if (::stat(fd->path().c_str(), &opened) == 0 && sameFile(opened, node))
            return true;
    }
    return false;
}

} // namespace

std::vector<NodeHolder> processesHolding(const std::string& path)
{
    struct stat node { };
    if (::stat(path.c_str(), &node) != 0)
        return {};
    const std::string self = std::to_string(::getpid());
    std::vector<NodeHolder> holders;
    std::error_code error;
    for (std::filesystem::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos
            || !holds(process->path(), node))
            continue;
        std::string name;
        std::getline(std::ifstream(process->path() / "comm"), name);
        holders.push_back({ static_cast<pid_t>(std::stol(pid)), name });
    }
    std::sort(holders.begin(), holders.end(),
        [](const NodeHolder& a, const NodeHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string holdersText(const std::vector<NodeHolder>& holders)
{
    std::string text;
    for (const NodeHolder& holder : holders)
        text += (text.empty() ? "" : ", ") + holder.name + " (pid " + std::to_string(holder.pid)
            + ")";
    return text;
}

} // namespace usb
