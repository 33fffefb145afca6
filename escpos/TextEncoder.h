#pragma once

#include "escpos/CodePages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace escpos {

// Text turned into a printer's bytes.
struct EncodedText {
    std::string bytes; // ESC t n wherever the table changes, and the characters' bytes
    std::u32string unencodable; // the characters sent as "?", each once, in order of appearance
};

// Encodes UTF-8 text for a printer that has the code tables given, in order of preference.
// Each character goes out in the table already selected when that table has it, otherwise in
// the first table of the list that has it (ESC t n before it, so a line can switch tables as
// often as it needs); a character no table has becomes "?". Control characters (below 0x20)
// pass through as they are, selecting no table.
class TextEncoder {
public:
    // Raises std::invalid_argument for an empty list.
    explicit TextEncoder(const std::vector<const CodePage*>& tables);
    EncodedText encode(std::string_view utf8) const;

private:
    struct Table {
        std::uint8_t number;
        std::unordered_map<char32_t, std::uint8_t> bytes;
    };
    const Table* tableFor(char32_t character, const Table* current) const;

    std::vector<Table> m_tables;
};

} // namespace escpos
