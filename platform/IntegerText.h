#pragma once
// The one integer parser of the program, shared by the IP editor and the serial settings texts.
//
// Accepted: leading blanks; then either an optional "+" or "-" followed by decimal digits, or
// (without a sign) one of "$", "x", "X", "0x", "0X" followed by hex digits in either letter
// case. Nothing may follow the digits. Decimal values must fit a signed 32-bit integer; hex
// values may use all 32 bits ("$FFFFFFFF" is -1), as the runtime this program grew up on allowed.

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

std::optional<std::int32_t> parseInteger(std::string_view text);

// The value of one hex digit in either letter case, or -1.
int hexDigitValue(char c);

// Raises EConvertError "'%s' is not a valid integer value" when parseInteger fails.
std::int32_t strToInt(std::string_view text);

} // namespace platform
