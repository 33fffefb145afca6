#pragma once
// The small pieces of JSON that quillet-send writes.

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// A JSON string. Bytes are taken as Latin-1 (a printer's ID text is not always UTF-8), so the
// result is valid JSON whatever they are: controls and bytes above 0x7E as \u00XX.
std::string jsonString(std::string_view bytes);
// true, false or null.
std::string jsonFlag(std::optional<bool> value);

} // namespace cli
