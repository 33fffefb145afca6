#include "printer/PermissionHint.h"

#include <grp.h>
#include <sys/stat.h>

#include <array>
#include <string_view>
#include <vector>

namespace printer {

namespace {

// The groups distributions document for users of printers and serial lines. Others that own
// devices (root, disk, tty, kmem) give far more than one printer: they are never recommended.
constexpr std::array<std::string_view, 3> kDeviceGroups = { "lp", "dialout", "uucp" };

std::string groupName(gid_t gid)
{
    group entry {};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

bool meantForDevices(const std::string& group)
{
    for (const auto name : kDeviceGroups)
        if (group == name)
            return true;
    return false;
}

// The group a udev rule should give the device to: printers to lp, serial lines to dialout.
const char* ruleGroup(const std::string& devicePath)
{
    const auto slash = devicePath.rfind('/');
    const std::string_view name = std::string_view(devicePath).substr(slash + 1);
    return name.substr(0, 2) == "lp" ? "lp" : "dialout";
}

} // namespace

std::string permissionHint(const std::string& devicePath)
{
    struct stat info { };
    if (devicePath.empty() || ::stat(devicePath.c_str(), &info) != 0)
        return {};
    const std::string group = groupName(info.st_gid);
    const std::string rule = std::string("give it to the group \"") + ruleGroup(devicePath)
        + "\" with a udev rule (see \"Permissions\" in the README), then plug it in again.";
    if (info.st_gid == 0 || (info.st_mode & S_IWGRP) == 0)
        return "The device " + devicePath + " may be opened by root only: " + rule;
    if (!meantForDevices(group))
        return "The device " + devicePath + " belongs to the group \"" + group
            + "\", which is not meant for printers or serial lines: " + rule;
    return "The device " + devicePath + " belongs to the group \"" + group
        + "\": join it with \"sudo usermod -aG " + group + " $USER\", then log in again.";
}

std::string withPermissionHint(const std::string& message, const std::string& devicePath)
{
    const std::string hint = permissionHint(devicePath);
    return hint.empty() ? message : message + "\n" + hint;
}

} // namespace printer
