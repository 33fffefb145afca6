#include "cli/DeviceList.h"

#include "cli/TerminalText.h"

#include "platform/LptDevice.h"
#include "platform/SysRoot.h"
#include "printer/LptKernelView.h"
#include "serial/CPort.h"
#include "usb/LibusbPrinters.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace cli {

namespace {

constexpr int kLptNames = 4;

// The lpN devices in a folder, in the order of their numbers.
std::vector<std::string> lineDevices(const std::string& folder)
{
    std::vector<std::pair<unsigned long, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 2 && name.compare(0, 2, "lp") == 0
            && name.find_first_not_of("0123456789", 2) == std::string::npos)
            found.emplace_back(std::stoul(name.substr(2)), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [number, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

// "LPT2" when that name reaches the device, otherwise empty.
std::string lptNameOf(const std::string& path)
{
    for (int n = 1; n <= kLptNames; ++n) {
        const std::string name = "LPT" + std::to_string(n);
        if (platform::lptDevicePath(name) == path)
            return name;
    }
    return {};
}

std::string modelWords(const std::string& path)
{
    const auto id = printer::sysfsDeviceId(path);
    if (!id)
        return "no IEEE-1284 device ID";
    std::string words = id->maker;
    if (!id->model.empty())
        words += (words.empty() ? "" : " ") + id->model;
    if (!id->commandSet.empty())
        words += " (command set " + id->commandSet + ")";
    return words;
}

} // namespace

std::string deviceList()
{
    std::string text = "Serial ports:\n";
    try {
        std::vector<std::string> ports;
        cport::listSerialPorts(ports);
        for (const auto& port : ports)
            text += printableText(port) + '\n';
    } catch (const std::exception&) {
        // A container or a chroot without /sys: the line printers can still be listed.
        text += "(no serial port list: " + platform::underSysRoot("/sys/class/tty")
            + " cannot be read)\n";
    }
    text += "Line printers:\n";
    for (const char* folder : { "/dev", "/dev/usb" }) {
        for (const auto& path : lineDevices(platform::underSysRoot(folder))) {
            const std::string lpt = lptNameOf(path);
            text += printableText(path) + (lpt.empty() ? "" : "  " + lpt) + "  "
                + printableText(modelWords(path)) + '\n';
        }
    }
    text += "USB printers:\n";
    try {
        for (const auto& printer : usb::listUsbPrinters())
            text += usb::usbPrinterLines(
                printer, [](const std::string& s) { return printableText(s); });
    } catch (const std::exception& error) {
        text += std::string("(no USB printer list: ") + error.what() + ")\n";
    }
    return text;
}

} // namespace cli
