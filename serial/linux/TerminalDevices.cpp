#include "serial/linux/TerminalDevices.h"

#include "platform/AtomicFile.h"

#include <climits>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cport {

namespace {

std::string deviceNumber(dev_t device)
{
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

std::string readAll(const char* path)
{
    std::string text;
    platform::readWholeFile(path, text);
    return text;
}

// Whether sysfs files the device under the tty class with a driver behind it: serial lines have
// one (serial8250's port, ftdi_sio, cdc_acm); virtual consoles, /dev/tty, /dev/console and
// /dev/ptmx have none.
bool hasSysfsDriver(dev_t device)
{
    const std::string folder = "/sys/dev/char/" + deviceNumber(device);
    char target[PATH_MAX];
    const ssize_t length
        = ::readlink((folder + "/subsystem").c_str(), target, sizeof target - 1);
    if (length <= 0)
        return false;
    const std::string subsystem(target, std::size_t(length));
    if (subsystem.substr(subsystem.rfind('/') + 1) != "tty")
        return false;
    struct stat info;
    return ::stat((folder + "/device/driver").c_str(), &info) == 0;
}

// Unix98 pseudo-terminal slaves (majors 136-143) and the legacy ones (major 3), for a system
// without /proc/tty/drivers.
bool pseudoTerminalMajor(unsigned kind)
{
    return kind == 3 || (kind >= 136 && kind <= 143);
}

// "64", "1-63" or "0-1048575": whether `number` lies in the range.
bool inMinorRange(const std::string& range, unsigned number)
{
    unsigned long first = 0, last = 0;
    const std::size_t dash = range.find('-');
    try {
        first = std::stoul(range.substr(0, dash));
        last = dash == std::string::npos ? first : std::stoul(range.substr(dash + 1));
    } catch (const std::exception&) {
        return false;
    }
    return number >= first && number <= last;
}

} // namespace

TDriverListing kindInDriverTable(const std::string& table, dev_t device)
{
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        // name, node, major, minor range, type; the name may hold no spaces, the rest neither.
        std::istringstream fields(line);
        std::string name, node, range, type;
        unsigned number = 0;
        if (!(fields >> name >> node >> number >> range >> type))
            continue;
        if (number != major(device) || !inMinorRange(range, minor(device)))
            continue;
        if (type == "serial")
            return TDriverListing::SerialLine;
        if (type == "pty:slave")
            return TDriverListing::PseudoTerminal;
        return TDriverListing::Other;
    }
    return TDriverListing::Unlisted;
}

dev_t controllingTerminal()
{
    const std::string stat = readAll("/proc/self/stat");
    // The command name in parentheses may hold anything; the fields after it are plain.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    long long parent = 0, group = 0, session = 0, tty = 0;
    if (!(fields >> state >> parent >> group >> session >> tty) || tty <= 0)
        return 0;
    // The kernel's own encoding: major in bits 8-15, minor in bits 0-7 and 20-31.
    const auto bits = static_cast<unsigned long long>(tty);
    return makedev((bits >> 8) & 0xfff, (bits & 0xff) | ((bits >> 12) & 0xfff00));
}

TTerminalKind terminalKind(dev_t device)
{
    if (const dev_t own = controllingTerminal(); own != 0 && device == own)
        return TTerminalKind::Refused;
    switch (kindInDriverTable(readAll("/proc/tty/drivers"), device)) {
    case TDriverListing::SerialLine:
        return TTerminalKind::SerialLine;
    case TDriverListing::PseudoTerminal:
        return TTerminalKind::PseudoTerminal;
    case TDriverListing::Other:
        return TTerminalKind::Refused;
    case TDriverListing::Unlisted:
        break;
    }
    // No list, or a driver that came after it was read.
    if (pseudoTerminalMajor(major(device)))
        return TTerminalKind::PseudoTerminal;
    return hasSysfsDriver(device) ? TTerminalKind::SerialLine : TTerminalKind::Refused;
}

} // namespace cport
