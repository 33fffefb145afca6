#pragma once
// Dotted IPv4 text: the octet rule of one field and the reading and writing of the whole address.
// No Qt here, so the rules are tested directly.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace widgets {

using IPOctets = std::array<std::uint8_t, 4>;

// The octet a text stands for: the program's integer parser, then the range 0..255.
std::optional<std::uint8_t> octetFromText(std::string_view text);

// Reads a dotted address. Each of the four tokens is the text up to the next "." (the fourth:
// everything left); a token that is not an octet becomes 255. Fewer than three dots gives
// nothing, so the caller changes nothing; text after a fourth dot spoils the last token.
std::optional<IPOctets> parseIPString(std::string_view text);

// "a.b.c.d" in plain decimal.
std::string formatIPString(const IPOctets& octets);

} // namespace widgets
