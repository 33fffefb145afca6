#include "platform/LptDevice.h"

#include "platform/AsciiCase.h"
#include "platform/SysRoot.h"

#include <sys/stat.h>

namespace platform {

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// 0 to 3 for "LPT1" to "LPT4" in any letter case, -1 otherwise.
int lptIndex(const std::string& name)
{
    if (name.size() != 4 || !equalIgnoringCase(name.substr(0, 3), "lpt"))
        return -1;
    return name[3] >= '1' && name[3] <= '4' ? name[3] - '1' : -1;
}

} // namespace

std::string lptDevicePath(const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return name;
    const int index = lptIndex(name);
    if (index < 0)
        return underSysRoot("/dev/" + name);
    const std::string parallel = underSysRoot("/dev/lp" + std::to_string(index));
    const std::string usb = underSysRoot("/dev/usb/lp" + std::to_string(index));
    return !exists(parallel) && exists(usb) ? usb : parallel;
}

} // namespace platform
