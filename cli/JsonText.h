#pragma once
// The small pieces of JSON that quillet-send writes.

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// A JSON string, always valid UTF-8: well-formed UTF-8 passes as it is, control characters
// are escaped (\u00XX), and each byte that is no UTF-8 (a printer's ID text in another
// character set) becomes U+FFFD.
std::string jsonString(std::string_view bytes);
// true, false or null.
std::string jsonFlag(std::optional<bool> value);

} // namespace cli
