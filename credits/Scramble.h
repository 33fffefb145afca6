#pragma once
// The scrambled form in which the program keeps the texts of its credits mode: uppercase hex
// digits, two per byte, each byte XORed with (k + 174) mod 256 for every byte k of a key of 2
// to 10 bytes. The operation is its own inverse.

#include <optional>
#include <string>
#include <string_view>

namespace credits {

// A text as the program stores it: its hex form and the key.
struct ScrambledText {
    std::string_view hex;
    std::string_view key;
};

// The plain text of hexText under key. Either letter case of hex digits is accepted.
// An odd number of digits shows "error 110!!" in a plain message box and gives no result;
// a pair that is not hexadecimal raises EConvertError "'$<pair>' is not a valid integer value".
std::optional<std::string> unscrambleText(std::string_view hexText, std::string_view key);

// The stored form of plain under key, made one pass per key byte from the last byte to the
// first, each pass rewriting the hex text (the way the scrambling tool makes stored texts).
std::string scrambleText(std::string_view plain, std::string_view key);

// The plain text of a stored text, made afresh on every call.
std::string plainText(const ScrambledText& text);

} // namespace credits
