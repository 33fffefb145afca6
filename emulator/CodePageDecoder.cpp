#include "emulator/CodePageDecoder.h"

#include "escpos/CodeTableCharacters.h"

#include <iterator>

namespace emulator {

namespace {

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
    m_current = &tableFor(*page);
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

const CodePageDecoder::Table& CodePageDecoder::tableFor(const escpos::CodePage& page)
{
    const auto found = m_tables.find(page.number);
    if (found != m_tables.end())
        return found->second;
    return m_tables.emplace(page.number, escpos::codeTableCharacters(page)).first->second;
}

} // namespace emulator
