#include "usb/UsbPrinterInfo.h"

#include <cstdio>

namespace usb {

namespace {

std::string interfaceLine(const Interface& interface)
{
    char text[96];
    std::snprintf(text, sizeof text, "interface %u: class %02x subclass %02x protocol %02x",
        interface.number, interface.interfaceClass, interface.subclass, interface.protocol);
    return text;
}

std::string deviceIdWords(const printer::Ieee1284Id& id)
{
    std::string words = "device ID: maker \"" + id.maker + "\", model \"" + id.model + "\"";
    if (!id.commandSet.empty())
        words += ", command set \"" + id.commandSet + "\"";
    return words;
}

} // namespace

std::string usbPrinterLines(
    const UsbPrinterInfo& info, std::string (*printable)(const std::string&))
{
    std::string text = std::to_string(info.device.bus) + "-" + std::to_string(info.device.address)
        + "  " + vendorProductText(info.device.vendor, info.device.product);
    if (!info.stringsReadable)
        text += "  (names not readable: no permission to open the device)";
    else {
        for (const std::string* part : { &info.maker, &info.product })
            if (!part->empty())
                text += "  " + printable(*part);
        text += info.device.serial.empty() ? "  no serial number"
                                           : "  serial " + printable(info.device.serial);
    }
    text += "\n    " + interfaceLine(info.interface) + "\n";
    if (const auto endpoints = chooseEndpoints(info.interface))
        text += "    " + endpointText(*endpoints) + ": " + directionVerdict(*endpoints) + "\n";
    else
        text += "    no bulk OUT endpoint: nothing can be printed through it\n";
    if (info.interface.interfaceClass == kPrinterClass)
        text += "    "
            + (info.deviceId ? printable(deviceIdWords(*info.deviceId))
                             : std::string("no IEEE-1284 device ID"))
            + "\n";
    text += "    kernel driver: " + (info.kernelDriver.empty() ? "none" : info.kernelDriver) + "\n";
    return text;
}

} // namespace usb
