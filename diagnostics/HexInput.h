#pragma once
// Bytes typed in hexadecimal, as the transcript shows them: "1B 40", "1b40", "1D,56,42,00".

#include <optional>
#include <string>
#include <string_view>

namespace diagnostics {

// Pairs of hex digits, with spaces, commas or nothing between the pairs; nullopt for any other
// character, an odd digit left over, or no byte at all.
std::optional<std::string> bytesOfHex(std::string_view text);

} // namespace diagnostics
