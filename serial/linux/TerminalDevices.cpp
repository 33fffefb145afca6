#include "serial/linux/TerminalDevices.h"

#include "platform/FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/ioctl.h>
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

// The text of a small file of /proc (no fstat(): its size reads 0 anyway).
std::string readProcFile(const char* path)
{
    std::string text;
    const platform::FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(file.get(), buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(got));
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

namespace {

// A device number in the kernel's own encoding (tty_nr, TIOCGDEV): major in bits 8-19, minor in
// bits 0-7 and 20-31.
dev_t kernelDeviceNumber(unsigned long long bits)
{
    return makedev((bits >> 8) & 0xfff, (bits & 0xff) | ((bits >> 12) & 0xfff00));
}

dev_t controllingTerminalFromStat()
{
    const std::string stat = readProcFile("/proc/self/stat");
    // The command name in parentheses may hold anything; the fields after it are plain.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    long long parent = 0, group = 0, session = 0, tty = 0;
    if (!(fields >> state >> parent >> group >> session >> tty) || tty <= 0)
        return 0;
    return kernelDeviceNumber(static_cast<unsigned long long>(tty));
}

} // namespace

dev_t controllingTerminal()
{
    // /dev/tty is the controlling terminal itself, and TIOCGDEV names it; a process without
    // one cannot open /dev/tty (ENXIO). Where /dev/tty is missing, /proc/self/stat says.
    const platform::FileDescriptor terminal(
        ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!terminal.valid())
        return errno == ENXIO ? 0 : controllingTerminalFromStat();
    unsigned int device = 0;
    if (::ioctl(terminal.get(), TIOCGDEV, &device) != 0)
        return controllingTerminalFromStat();
    return kernelDeviceNumber(device);
}

TTerminalKind terminalKind(dev_t device)
{
    if (const dev_t own = controllingTerminal(); own != 0 && device == own)
        return TTerminalKind::Refused;
    // Unix98 pseudo-terminal slaves have fixed numbers: no need to ask the driver list.
    if (major(device) >= 136 && major(device) <= 143)
        return TTerminalKind::PseudoTerminal;
    switch (kindInDriverTable(readProcFile("/proc/tty/drivers"), device)) {
    case TDriverListing::SerialLine:
        return TTerminalKind::SerialLine;
    case TDriverListing::PseudoTerminal:
        return TTerminalKind::PseudoTerminal;
    case TDriverListing::Other:
        return TTerminalKind::Refused;
    case TDriverListing::Unlisted:
        break;
    }
    // No list: legacy pseudo-terminals by their number, serial lines by sysfs.
    if (pseudoTerminalMajor(major(device)))
        return TTerminalKind::PseudoTerminal;
    return hasSysfsDriver(device) ? TTerminalKind::SerialLine : TTerminalKind::Refused;
}

} // namespace cport
