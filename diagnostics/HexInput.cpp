#include "diagnostics/HexInput.h"

namespace diagnostics {

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::string> bytesOfHex(std::string_view text)
{
    std::string bytes;
    int high = -1; // the first digit of a pair, while the second is awaited
    for (const char c : text) {
        const int value = digitValue(c);
        if (value < 0) {
            // A separator may only come between pairs.
            if ((c != ' ' && c != ',' && c != '\t') || high >= 0)
                return std::nullopt;
            continue;
        }
        if (high < 0) {
            high = value;
            continue;
        }
        bytes += static_cast<char>(high << 4 | value);
        high = -1;
    }
    if (high >= 0 || bytes.empty())
        return std::nullopt;
    return bytes;
}

} // namespace diagnostics
