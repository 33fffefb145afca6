#include "escpos/CodeTableCharacters.h"

#include "escpos/OwnCodeTables.h"

#include <algorithm>
#include <iconv.h>
#include <string>

namespace escpos {

namespace {

char32_t decodeOne(iconv_t converter, unsigned char byte)
{
    char in = static_cast<char>(byte);
    char32_t out = kUndefinedCharacter;
    char* inPointer = &in;
    char* outPointer = reinterpret_cast<char*>(&out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft)
        == static_cast<std::size_t>(-1))
        return kUndefinedCharacter;
    // Tables with combining marks (CP1258) hold a letter back until they know what follows.
    iconv(converter, nullptr, nullptr, &outPointer, &outLeft);
    return out;
}

} // namespace

CodeTableCharacters codeTableCharacters(const CodePage& page)
{
    CodeTableCharacters table;
    for (int byte = 0; byte < 0x80; ++byte)
        table[byte] = char32_t(byte);
    if (const auto* own = ownUpperHalf(page.number)) {
        std::copy(own->begin(), own->end(), table.begin() + 0x80);
        return table;
    }
    std::fill(table.begin() + 0x80, table.end(), kUndefinedCharacter);
    const std::string from(page.iconvName);
    const iconv_t converter = iconv_open("UTF-32LE", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return table;
    for (int byte = 0x80; byte < 0x100; ++byte)
        table[byte] = decodeOne(converter, static_cast<unsigned char>(byte));
    iconv_close(converter);
    addOwnCharacters(page.number, std::span<char32_t, 128>(table.data() + 0x80, 128));
    return table;
}

} // namespace escpos
