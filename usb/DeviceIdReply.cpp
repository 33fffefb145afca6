#include "usb/DeviceIdReply.h"

#include <algorithm>

namespace usb {

namespace {

constexpr std::size_t kLengthBytes = 2;

// How many text bytes follow the length bytes. With the length counting itself the text is
// two bytes shorter than the length; without, as long. The second form is taken only when the
// reply holds it whole and it ends a field where the first would cut one short.
std::size_t textLength(std::size_t claimed, std::string_view text)
{
    const std::size_t counted = claimed >= kLengthBytes ? claimed - kLengthBytes : 0;
    const bool uncountedFits = claimed <= text.size() && claimed > 0;
    if (uncountedFits
        && (claimed == text.size()
            || (text[claimed - 1] == ';' && (counted == 0 || text[counted - 1] != ';'))))
        return claimed;
    return std::min(counted, text.size());
}

} // namespace

std::optional<std::string> deviceIdText(std::string_view received)
{
    if (received.size() <= kLengthBytes)
        return std::nullopt;
    const std::size_t claimed
        = (static_cast<std::size_t>(static_cast<unsigned char>(received[0])) << 8)
        | static_cast<unsigned char>(received[1]);
    const std::string_view text = received.substr(kLengthBytes);
    std::string_view id = text.substr(0, textLength(claimed, text));
    while (!id.empty() && id.back() == '\0')
        id.remove_suffix(1);
    if (id.empty())
        return std::nullopt;
    return std::string(id);
}

std::optional<printer::Ieee1284Id> parseDeviceIdReply(std::string_view received)
{
    const auto text = deviceIdText(received);
    if (!text)
        return std::nullopt;
    return printer::parseIeee1284Id(*text);
}

} // namespace usb
