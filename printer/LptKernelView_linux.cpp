// The kernel's side of a parallel or USB printer: LPGETSTATUS and the IEEE-1284 device ID.
#include "printer/LptKernelView.h"

#include "platform/AtomicFile.h"
#include "platform/SysRoot.h"

#include <linux/lp.h>
#include <sys/ioctl.h>

#include <array>
#include <filesystem>

namespace printer {

namespace {

// The USB printer driver's request for the device ID (it is not in a public header): the
// reply starts with its own length, two bytes big-endian, those two included.
constexpr unsigned kIdBufferSize = 1024;
constexpr unsigned long kGetDeviceId = _IOC(_IOC_READ, 'P', 1, kIdBufferSize);

std::optional<LptLineStatus> readLines(int fd)
{
    int status = 0;
    if (::ioctl(fd, LPGETSTATUS, &status) != 0)
        return std::nullopt;
    return lptLineStatusFromByte(status);
}

std::optional<std::string> idFromDriver(int fd)
{
    std::array<unsigned char, kIdBufferSize> buffer {};
    if (::ioctl(fd, kGetDeviceId, buffer.data()) != 0)
        return std::nullopt;
    const std::size_t length = (std::size_t(buffer[0]) << 8) | buffer[1];
    if (length < 2 || length > buffer.size())
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(buffer.data()) + 2, length - 2);
}

// A USB printer /dev/usb/lpN publishes its ID in sysfs as well.
std::optional<std::string> idFromSysfs(const std::string& devicePath)
{
    const std::filesystem::path path(devicePath);
    if (path.parent_path().filename() != "usb")
        return std::nullopt;
    std::string text;
    const auto file = platform::underSysRoot(
        "/sys/class/usbmisc/" + path.filename().string() + "/device/ieee1284_id");
    if (platform::readWholeFile(file, text) != 0)
        return std::nullopt;
    return text;
}

} // namespace

std::optional<Ieee1284Id> sysfsDeviceId(const std::string& devicePath)
{
    if (const auto text = idFromSysfs(devicePath))
        return parseIeee1284Id(*text);
    return std::nullopt;
}

LptKernelView readLptKernelView(int fd, const std::string& devicePath)
{
    LptKernelView view;
    view.lines = readLines(fd);
    view.deviceId = sysfsDeviceId(devicePath);
    if (!view.deviceId)
        if (const auto text = idFromDriver(fd))
            view.deviceId = parseIeee1284Id(*text);
    return view;
}

} // namespace printer
