#include "diagnostics/HexInput.h"

#include "platform/IntegerText.h"

namespace diagnostics {

std::optional<std::string> bytesOfHex(std::string_view text)
{
    std::string bytes;
    int high = -1; // the first digit of a pair, while the second is awaited
    for (const char c : text) {
        const int value = platform::hexDigitValue(c);
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
