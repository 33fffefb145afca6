#include "usb/UsbSelector.h"

#include <cstdio>

namespace usb {

namespace {

std::optional<unsigned long> number(
    const std::string& text, int base, std::size_t digits, unsigned long most)
{
    const char* allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (text.empty() || text.size() > digits
        || text.find_first_not_of(allowed) != std::string::npos)
        return std::nullopt;
    const unsigned long value = std::stoul(text, nullptr, base);
    if (value > most)
        return std::nullopt;
    return value;
}

std::optional<UsbSelector> busAddress(const std::string& text, std::size_t dash)
{
    const auto bus = number(text.substr(0, dash), 10, 3, 255);
    const auto address = number(text.substr(dash + 1), 10, 3, 127);
    if (!bus || !address || *bus == 0 || *address == 0)
        return std::nullopt;
    UsbSelector selector;
    selector.bus = static_cast<std::uint8_t>(*bus);
    selector.address = static_cast<std::uint8_t>(*address);
    return selector;
}

} // namespace

std::optional<UsbSelector> parseUsbSelector(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        const auto dash = text.find('-');
        return dash == std::string::npos ? std::nullopt : busAddress(text, dash);
    }
    const auto second = text.find(':', colon + 1);
    const auto vendor = number(text.substr(0, colon), 16, 4, 0xFFFF);
    const auto product = number(text.substr(colon + 1, second - colon - 1), 16, 4, 0xFFFF);
    if (!vendor || !product)
        return std::nullopt;
    UsbSelector selector;
    selector.vendor = static_cast<std::uint16_t>(*vendor);
    selector.product = static_cast<std::uint16_t>(*product);
    if (second != std::string::npos) {
        selector.serial = text.substr(second + 1);
        if (selector.serial->empty())
            return std::nullopt;
    }
    return selector;
}

bool UsbSelector::matches(const UsbDeviceAddress& device) const
{
    if (bus)
        return *bus == device.bus && *address == device.address;
    return *vendor == device.vendor && *product == device.product
        && (!serial || *serial == device.serial);
}

std::string UsbSelector::text() const
{
    if (bus)
        return std::to_string(*bus) + "-" + std::to_string(*address);
    return vendorProductText(*vendor, *product) + (serial ? ":" + *serial : std::string());
}

std::string vendorProductText(std::uint16_t vendor, std::uint16_t product)
{
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", vendor, product);
    return text;
}

} // namespace usb
