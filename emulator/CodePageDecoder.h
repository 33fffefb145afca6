#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string_view>

namespace emulator {

// Turns the bytes of a character code table (ESC t) into characters, with the 12 positions of
// the lower half that an international character set (ESC R) replaces. Tables glibc has are read
// through iconv once, a byte at a time, so every byte stays one character cell; the others are
// tables of our own. A byte the table does not define becomes U+FFFD.
class CodePageDecoder {
public:
    CodePageDecoder();
    // False when ESC t names a table we do not know; PC437 is used then.
    bool select(std::uint8_t number);
    // False when ESC R names a set we do not know; USA is used then.
    bool selectInternational(std::uint8_t number);
    char32_t decode(unsigned char byte) const { return m_active[byte]; }

private:
    using Table = std::array<char32_t, 256>;
    const Table& tableFor(std::uint8_t number, std::string_view iconvName);
    void combine();

    std::map<std::uint8_t, Table> m_tables;
    const Table* m_current = nullptr;
    std::uint8_t m_international = 0;
    Table m_active {}; // the code table with the international set's characters in place
};

} // namespace emulator
