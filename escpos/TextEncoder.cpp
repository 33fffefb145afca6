#include "escpos/TextEncoder.h"

#include "escpos/CodeTableCharacters.h"
#include "escpos/Utf8.h"

#include <stdexcept>

namespace escpos {

TextEncoder::TextEncoder(const std::vector<const CodePage*>& tables)
{
    if (tables.empty())
        throw std::invalid_argument("no code table to encode text with");
    for (const CodePage* page : tables) {
        Table table { page->number, {} };
        const auto characters = codeTableCharacters(*page);
        // The first byte of a character wins where a table has it twice (a blank page's spaces).
        for (int byte = 0x20; byte < 0x100; ++byte)
            if (byte != 0x7F && characters[byte] != kUndefinedCharacter)
                table.bytes.emplace(characters[byte], std::uint8_t(byte));
        m_tables.push_back(std::move(table));
    }
}

const TextEncoder::Table* TextEncoder::tableFor(char32_t character, const Table* current) const
{
    if (current && current->bytes.count(character))
        return current;
    for (const Table& table : m_tables)
        if (table.bytes.count(character))
            return &table;
    return nullptr;
}

EncodedText TextEncoder::encode(std::string_view utf8) const
{
    EncodedText out;
    const Table* current = nullptr;
    for (const char32_t character : utf8Characters(utf8)) {
        if (character < 0x20) {
            out.bytes += char(character);
            continue;
        }
        char32_t sent = character;
        const Table* table = tableFor(character, current);
        if (!table) {
            if (out.unencodable.find(character) == std::u32string::npos)
                out.unencodable += character;
            sent = U'?';
            table = tableFor(sent, current); // every table has ASCII
        }
        if (table != current) {
            out.bytes += "\x1bt";
            out.bytes += char(table->number);
            current = table;
        }
        out.bytes += char(table->bytes.at(sent));
    }
    return out;
}

} // namespace escpos
