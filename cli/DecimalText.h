#pragma once
// Plain decimal numbers on the command line: digits only, no sign, no blanks, no hex.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cli {

inline std::optional<std::int64_t> parseDecimal(std::string_view text)
{
    std::int64_t value = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace cli
