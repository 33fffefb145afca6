#pragma once
// What --list tells about one USB printer interface, gathered from its descriptors, its
// strings, the printer class's device ID request and sysfs, and the lines that show it.

#include "printer/LptKernelView.h"
#include "usb/Endpoints.h"
#include "usb/UsbSelector.h"

#include <optional>
#include <string>

namespace usb {

struct UsbPrinterInfo {
    UsbDeviceAddress device;
    std::string maker; // empty when the device has none or it could not be read
    std::string product;
    bool stringsReadable = true; // false: the device could not be opened to read them
    Interface interface; // its endpoints as the descriptors list them
    std::optional<printer::Ieee1284Id> deviceId; // printer class only, when it answered
    std::string kernelDriver; // "usblp", or empty when none holds it
};

// "1-4  04b8:0202  EPSON TM-T20 serial 123456" and indented lines with the interface, the
// endpoints, the direction verdict, the device ID and the kernel driver. Text from the device
// is passed through `printable` before it is shown.
std::string usbPrinterLines(
    const UsbPrinterInfo& info, std::string (*printable)(const std::string&));

} // namespace usb
