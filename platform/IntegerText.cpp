#include "platform/IntegerText.h"

#include "platform/BuiltinTexts.h"
#include "platform/Exception.h"

#include <string>

namespace platform {

namespace {

// Digits after the sign and any prefix; the magnitude limit depends on the base.
std::optional<std::uint64_t> parseMagnitude(std::string_view digits, int base, std::uint64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

} // namespace

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    std::string_view rest
        = start == std::string_view::npos ? std::string_view() : text.substr(start);

    for (std::string_view prefix : { "0x", "0X", "$", "x", "X" }) {
        if (rest.starts_with(prefix)) {
            const auto magnitude = parseMagnitude(rest.substr(prefix.size()), 16, 0xFFFFFFFFull);
            if (!magnitude)
                return std::nullopt;
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(*magnitude));
        }
    }
    bool negative = false;
    if (rest.starts_with('+') || rest.starts_with('-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const auto magnitude = parseMagnitude(rest, 10, negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (!magnitude)
        return std::nullopt;
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(negative ? 0 - *magnitude : *magnitude));
}

std::int32_t strToInt(std::string_view text)
{
    if (const auto value = parseInteger(text))
        return *value;
    throw EConvertError(formatBuiltin(BuiltinText::InvalidInteger, { std::string(text) }));
}

} // namespace platform
