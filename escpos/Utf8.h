#pragma once
// Reading bytes that should be UTF-8 but come from outside (a printer's device ID, a file
// name, text to print): how long the well-formed character at a position is.

#include <cstddef>
#include <string>
#include <string_view>

namespace escpos {

// The length (1 to 4) of the well-formed UTF-8 character starting at bytes[at], 0 when the
// bytes there are none (a stray continuation byte, an overlong form, a surrogate, a cut-off
// sequence, a code point above U+10FFFF).
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t at);

// The code point of the well-formed character of `length` bytes at bytes[at].
char32_t utf8CodePoint(std::string_view bytes, std::size_t at, std::size_t length);

// The characters of UTF-8 text; each byte that is no UTF-8 becomes U+FFFD.
std::u32string utf8Characters(std::string_view bytes);

// Characters as UTF-8.
std::string utf8Text(std::u32string_view characters);

} // namespace escpos
