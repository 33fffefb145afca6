#include "serial/linux/TerminalDevices.h"

#include <climits>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cport {

bool isTerminalDriverName(const std::string& name)
{
    return name == "pts" || name.rfind("tty", 0) == 0 || name.rfind("/dev/tty", 0) == 0;
}

namespace {

std::string deviceNumber(dev_t device)
{
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

// The class sysfs files the device under, or empty when sysfs does not list it.
std::string sysfsClass(dev_t device)
{
    const std::string link = "/sys/dev/char/" + deviceNumber(device) + "/subsystem";
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    const std::string path(target, std::size_t(length));
    return path.substr(path.rfind('/') + 1);
}

// The character major numbers /proc/devices lists terminal drivers under (one number may carry
// several drivers: 4 is "/dev/vc/0", "tty" and "ttyS").
std::set<unsigned> terminalMajors()
{
    std::set<unsigned> majors;
    std::ifstream devices("/proc/devices");
    std::string line;
    bool characterSection = false;
    while (std::getline(devices, line)) {
        if (line.rfind("Character devices:", 0) == 0 || line.rfind("Block devices:", 0) == 0) {
            characterSection = line[0] == 'C';
            continue;
        }
        std::istringstream fields(line);
        unsigned number = 0;
        std::string name;
        if (characterSection && fields >> number >> name && isTerminalDriverName(name))
            majors.insert(number);
    }
    return majors;
}

bool terminalMajor(unsigned majorNumber)
{
    static std::mutex mutex;
    static std::set<unsigned> known;
    std::lock_guard lock(mutex);
    if (known.contains(majorNumber))
        return true;
    // A driver may have come since the list was read (a USB adapter was plugged in).
    known = terminalMajors();
    return known.contains(majorNumber);
}

} // namespace

bool isTerminalDevice(dev_t device)
{
    const std::string sysClass = sysfsClass(device);
    if (!sysClass.empty())
        return sysClass == "tty";
    return terminalMajor(major(device));
}

} // namespace cport
