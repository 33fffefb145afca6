#pragma once
// Which USB printer the command line means: "VID:PID", "VID:PID:SERIAL" (hexadecimal IDs) or
// "BUS-ADDRESS" (decimal, as lsusb and --list show them).

#include <cstdint>
#include <optional>
#include <string>

namespace usb {

struct UsbDeviceAddress {
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string serial; // empty when the device has none or it could not be read
};

struct UsbSelector {
    std::optional<std::uint16_t> vendor; // with product
    std::optional<std::uint16_t> product;
    std::optional<std::string> serial;
    std::optional<std::uint8_t> bus; // with address
    std::optional<std::uint8_t> address;

    bool matches(const UsbDeviceAddress& device) const;
    // The selector as the user wrote it, normalised: "04b8:0202", "1-4".
    std::string text() const;
};

// nullopt for anything else (an empty serial, IDs of more than four digits, bus 0).
std::optional<UsbSelector> parseUsbSelector(const std::string& text);

// "04b8:0202"
std::string vendorProductText(std::uint16_t vendor, std::uint16_t product);

} // namespace usb
