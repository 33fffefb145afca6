#include "emulator/CodePageDecoder.h"

#include "escpos/CodePages.h"

#include <iconv.h>
#include <string>

namespace emulator {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

char32_t decodeOne(iconv_t converter, unsigned char byte)
{
    char in = static_cast<char>(byte);
    char32_t out = kReplacement;
    char* inPointer = &in;
    char* outPointer = reinterpret_cast<char*>(&out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft)
        == static_cast<std::size_t>(-1))
        return kReplacement;
    return out;
}

} // namespace

bool CodePageDecoder::select(std::uint8_t number)
{
    const auto* page = escpos::findCodePage(number);
    const bool known = page != nullptr;
    if (!known)
        page = escpos::findCodePage(0);
    m_current = &tableFor(page->number, page->iconvName);
    return known;
}

const CodePageDecoder::Table& CodePageDecoder::tableFor(
    std::uint8_t number, std::string_view iconvName)
{
    const auto found = m_tables.find(number);
    if (found != m_tables.end())
        return found->second;
    Table table;
    table.fill(kReplacement);
    const std::string from(iconvName);
    const iconv_t converter = iconv_open("UTF-32LE", from.c_str());
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = converter == reinterpret_cast<iconv_t>(-1)
            ? (byte < 0x80 ? char32_t(byte) : kReplacement)
            : decodeOne(converter, static_cast<unsigned char>(byte));
    if (converter != reinterpret_cast<iconv_t>(-1))
        iconv_close(converter);
    return m_tables.emplace(number, table).first->second;
}

} // namespace emulator
