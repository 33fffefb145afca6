#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace escpos {

// The characters of bytes 0x80 to 0xFF of a code table.
using UpperHalf = std::array<char32_t, 128>;

// The upper half of a code table that glibc's iconv does not have (their lower half is ASCII),
// or nullptr.
const UpperHalf* ownUpperHalf(std::uint8_t table);

// Fills in the upper-half cells that printers define and glibc's table of the same name leaves
// undefined (U+FFFD).
void addOwnCharacters(std::uint8_t table, std::span<char32_t, 128> upper);

} // namespace escpos
