#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace escpos {

// A character code table that ESC t selects: its number, its name in printer manuals and the
// name iconv knows it by; empty when glibc has no such table and ours is used.
struct CodePage {
    std::uint8_t number;
    std::string_view name; // "PC437"
    std::string_view iconvName; // "CP437"
};

// The code table ESC t n selects, or nullptr for a number this table does not know.
const CodePage* findCodePage(std::uint8_t number);
// The code table named `text`: its number ("16"), its name in printer manuals ("WPC1252") or
// iconv's name ("CP1252"), in any letter case; nullptr when none is.
const CodePage* findCodePageNamed(std::string_view text);
// Every code table known, in the order of their numbers.
std::span<const CodePage> codePages();

} // namespace escpos
