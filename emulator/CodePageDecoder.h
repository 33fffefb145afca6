#pragma once

#include "escpos/CodeTableCharacters.h"

#include <cstdint>
#include <map>

namespace emulator {

// Turns the bytes of a character code table (ESC t) into characters, with the 12 positions of
// the lower half that an international character set (ESC R) replaces. Each table's characters
// are read once (escpos::codeTableCharacters). A byte the table does not define becomes U+FFFD.
class CodePageDecoder {
public:
    CodePageDecoder();
    // False when ESC t names a table we do not know; PC437 is used then.
    bool select(std::uint8_t number);
    // False when ESC R names a set we do not know; USA is used then.
    bool selectInternational(std::uint8_t number);
    char32_t decode(unsigned char byte) const { return m_active[byte]; }

private:
    using Table = escpos::CodeTableCharacters;
    const Table& tableFor(const escpos::CodePage& page);
    void combine();

    std::map<std::uint8_t, Table> m_tables;
    const Table* m_current = nullptr;
    std::uint8_t m_international = 0;
    Table m_active {}; // the code table with the international set's characters in place
};

} // namespace emulator
