#include "widgets/IPText.h"

#include "platform/IntegerText.h"

namespace widgets {

namespace {

// Takes the token before the first "." (or all of s when there is none) off the front of s.
// The dot itself stays, for skipDot.
int takeOctet(std::string_view& s)
{
    const auto dot = s.find('.');
    const std::string_view token = dot == std::string_view::npos ? s : s.substr(0, dot);
    if (dot != std::string_view::npos)
        s.remove_prefix(dot);
    const auto octet = octetFromText(token);
    return octet ? *octet : -1;
}

bool skipDot(std::string_view& s)
{
    if (s.empty() || s.front() != '.')
        return false;
    s.remove_prefix(1);
    return true;
}

} // namespace

std::optional<std::uint8_t> octetFromText(std::string_view text)
{
    const auto number = platform::parseInteger(text);
    if (!number || *number < 0 || *number > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(*number);
}

std::optional<IPOctets> parseIPString(std::string_view text)
{
    IPOctets octets {};
    for (std::size_t i = 0; i < octets.size(); ++i) {
        const int octet = takeOctet(text);
        octets[i] = static_cast<std::uint8_t>(octet < 0 ? 255 : octet);
        if (i + 1 < octets.size() && !skipDot(text))
            return std::nullopt;
    }
    return octets;
}

std::string formatIPString(const IPOctets& octets)
{
    std::string text;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0)
            text += '.';
        text += std::to_string(octets[i]);
    }
    return text;
}

} // namespace widgets
