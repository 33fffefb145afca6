#pragma once

#include "escpos/CodePages.h"

#include <array>

namespace escpos {

// The character each byte of a code table prints as: ASCII below 0x80, the table's own
// characters above. One table serves both directions: the virtual printer decodes with it and
// the text encoder inverts it, so what is sent and what is drawn can never disagree.
using CodeTableCharacters = std::array<char32_t, 256>;

// What a byte the table leaves undefined stands for.
inline constexpr char32_t kUndefinedCharacter = 0xFFFD;

// The characters of `page`: tables glibc has are read through iconv a byte at a time (so every
// byte stays one character cell), the others come from tables of our own. A byte the table
// does not define, or every upper byte of a table iconv lacks, is kUndefinedCharacter.
CodeTableCharacters codeTableCharacters(const CodePage& page);

} // namespace escpos
