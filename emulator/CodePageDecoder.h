#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string_view>

namespace emulator {

// Turns the bytes of a character code table (ESC t) into characters. Each table is read through
// iconv once, a byte at a time, so every byte stays one character cell; a byte the table does not
// define becomes U+FFFD.
class CodePageDecoder {
public:
    // False when ESC t names a table we do not know; PC437 is used then.
    bool select(std::uint8_t number);
    char32_t decode(unsigned char byte) const { return (*m_current)[byte]; }

private:
    using Table = std::array<char32_t, 256>;
    const Table& tableFor(std::uint8_t number, std::string_view iconvName);

    std::map<std::uint8_t, Table> m_tables;
    const Table* m_current = nullptr;
};

} // namespace emulator
