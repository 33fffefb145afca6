#include "printer/PermissionHint.h"

#include <grp.h>
#include <sys/stat.h>

#include <vector>

namespace printer {

namespace {

std::string groupName(gid_t gid)
{
    group entry {};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

} // namespace

std::string permissionHint(const std::string& devicePath)
{
    struct stat info { };
    if (devicePath.empty() || ::stat(devicePath.c_str(), &info) != 0)
        return {};
    const std::string group = groupName(info.st_gid);
    return "The device " + devicePath + " belongs to the group \"" + group
        + "\": join it with \"sudo usermod -aG " + group + " $USER\", then log in again.";
}

std::string withPermissionHint(const std::string& message, const std::string& devicePath)
{
    const std::string hint = permissionHint(devicePath);
    return hint.empty() ? message : message + "\n" + hint;
}

} // namespace printer
