#include "emulator/CodePageDecoder.h"

#include "emulator/OwnCodeTables.h"
#include "escpos/CodePages.h"

#include <iconv.h>
#include <iterator>
#include <string>

namespace emulator {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The positions an international character set replaces, and each set's characters there.
constexpr unsigned char kNationalPositions[12]
    = { 0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E };
constexpr std::u32string_view kInternationalSets[] = {
    U"#$@[\\]^`{|}~", // 0 USA
    U"#$à°ç§^`éùè¨", // 1 France
    U"#$§ÄÖÜ^`äöüß", // 2 Germany
    U"£$@[\\]^`{|}~", // 3 United Kingdom
    U"#$@ÆØÅ^`æøå~", // 4 Denmark I
    U"#¤ÉÄÖÅÜéäöåü", // 5 Sweden
    U"#$@°\\é^ùàòèì", // 6 Italy
    U"₧$@¡Ñ¿^`¨ñ}~", // 7 Spain I
    U"#$@[¥]^`{|}~", // 8 Japan
    U"#¤ÉÆØÅÜéæøåü", // 9 Norway
    U"#$ÉÆØÅÜéæøåü", // 10 Denmark II
    U"#$á¡Ñ¿é`íñóú", // 11 Spain II
    U"#$á¡Ñ¿éüíñóú", // 12 Latin America
    U"#$@[₩]^`{|}~", // 13 Korea
    U"#$ŽŠĐĆČžšđćč", // 14 Slovenia/Croatia
    U"#¥@[\\]^`{|}~", // 15 China
    U"#₫@[\\]^`{|}~", // 16 Vietnam
    U"#$@[\\]^`{|}~", // 17 Arabia
};

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
    // Tables with combining marks (CP1258) hold a letter back until they know what follows.
    iconv(converter, nullptr, nullptr, &outPointer, &outLeft);
    return out;
}

} // namespace

CodePageDecoder::CodePageDecoder()
{
    select(0);
}

bool CodePageDecoder::select(std::uint8_t number)
{
    const auto* page = escpos::findCodePage(number);
    const bool known = page != nullptr;
    if (!known)
        page = escpos::findCodePage(0);
    m_current = &tableFor(page->number, page->iconvName);
    combine();
    return known;
}

bool CodePageDecoder::selectInternational(std::uint8_t number)
{
    const bool known = number < std::size(kInternationalSets);
    m_international = known ? number : 0;
    combine();
    return known;
}

void CodePageDecoder::combine()
{
    m_active = *m_current;
    const auto set = kInternationalSets[m_international];
    for (std::size_t i = 0; i < std::size(kNationalPositions); ++i)
        m_active[kNationalPositions[i]] = set[i];
}

const CodePageDecoder::Table& CodePageDecoder::tableFor(
    std::uint8_t number, std::string_view iconvName)
{
    const auto found = m_tables.find(number);
    if (found != m_tables.end())
        return found->second;
    Table table;
    for (int byte = 0; byte < 0x80; ++byte)
        table[byte] = char32_t(byte);
    if (const auto* own = ownUpperHalf(number)) {
        std::copy(own->begin(), own->end(), table.begin() + 0x80);
        return m_tables.emplace(number, table).first->second;
    }
    const std::string from(iconvName);
    const iconv_t converter = iconv_open("UTF-32LE", from.c_str());
    UpperHalf upper;
    for (int byte = 0x80; byte < 0x100; ++byte)
        upper[byte - 0x80] = converter == reinterpret_cast<iconv_t>(-1)
            ? kReplacement
            : decodeOne(converter, static_cast<unsigned char>(byte));
    if (converter != reinterpret_cast<iconv_t>(-1))
        iconv_close(converter);
    addOwnCharacters(number, upper);
    std::copy(upper.begin(), upper.end(), table.begin() + 0x80);
    return m_tables.emplace(number, table).first->second;
}

} // namespace emulator
