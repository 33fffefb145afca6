// Text encoded in printer code tables, read back through glibc's published charmaps.
#include "ReferenceTables.h"
#include "escpos/TextEncoder.h"
#include "escpos/Utf8.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

escpos::EncodedText encode(std::initializer_list<int> tables, const std::string& text)
{
    std::vector<const escpos::CodePage*> pages;
    for (const int n : tables)
        pages.push_back(escpos::findCodePage(std::uint8_t(n)));
    return escpos::TextEncoder(pages).encode(text);
}

void requireCharmaps()
{
    if (testsupport::charmap("CP1252").empty())
        GTEST_SKIP() << "glibc's charmaps (Debian locales) are not installed";
}

const struct LanguageSample {
    const char* language;
    int table;
    const char* text;
} kLanguageSamples[] = {
    { "German", 16, "Grüße aus Köln: Straße, Äpfel, Öl, Übung" },
    { "French", 2, "Œuvre? Non: À l'hôtel, ça coûte très cher; naïve Noël" },
    { "Polish", 18, "Zażółć gęślą jaźń, Łódź" },
    { "Czech", 45, "Příliš žluťoučký kůň úpěl ďábelské ódy" },
    { "Greek", 47, "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία" },
    { "Russian", 17, "Съешь же ещё этих мягких французских булок" },
    { "Turkish", 48, "Pijamalı hasta yağız şoföre çabucak güvendi; İstanbul" },
    { "Euro", 19, "Summe 12,50 € inkl. MwSt." },
};

} // namespace

TEST(TextEncoder, EachLanguageDecodesBackThroughItsTable)
{
    requireCharmaps();
    for (const auto& sample : kLanguageSamples) {
        SCOPED_TRACE(sample.language);
        // French's Œ is not in PC850: it goes as "?" and is listed.
        const bool french = std::string(sample.language) == "French";
        const auto encoded = encode({ sample.table }, sample.text);
        EXPECT_EQ(encoded.bytes.substr(0, 3), "\x1bt"s + char(sample.table));
        auto expected = escpos::utf8Characters(sample.text);
        if (french)
            expected[0] = U'?';
        EXPECT_EQ(testsupport::decodeThroughReference(encoded.bytes), expected);
        EXPECT_EQ(encoded.unencodable, french ? U"Œ" : U"");
        EXPECT_EQ(encoded.bytes.find("\x1bt", 3), std::string::npos) << "one table, one ESC t";
    }
}

TEST(TextEncoder, AProfileSwitchesTablesMidLineOnlyWhereItMust)
{
    requireCharmaps();
    std::string all;
    for (const auto& sample : kLanguageSamples)
        all += sample.text + " "s;
    all += "中\n";
    // PC437 first (the German text needs nothing else), then the others in order.
    const auto encoded = encode({ 0, 16, 18, 45, 47, 17, 48, 19 }, all);
    auto expected = escpos::utf8Characters(all);
    expected[expected.size() - 2] = U'?';
    EXPECT_EQ(testsupport::decodeThroughReference(encoded.bytes), expected);
    EXPECT_EQ(encoded.unencodable, U"中");
    // The German text stays in PC437 (it has ü ö ä ß Ä Ö Ü): the first switch is for French.
    EXPECT_EQ(encoded.bytes.substr(0, 3), "\x1bt\x00"s);
    EXPECT_EQ(encoded.bytes.find("\x1bt", 3),
        3 + escpos::utf8Characters(kLanguageSamples[0].text).size() + 1);
    // No ESC t that selects the table already selected.
    char current = -1;
    for (std::size_t at = encoded.bytes.find("\x1bt"); at != std::string::npos;
         at = encoded.bytes.find("\x1bt", at + 3)) {
        EXPECT_NE(encoded.bytes[at + 2], current) << "at " << at;
        current = encoded.bytes[at + 2];
    }
}

TEST(TextEncoder, ControlsPassAndNothingEncodableIsListedOnce)
{
    const auto encoded = encode({ 16 }, "\xe4\xb8\xad\r\n\t\xe4\xb8\xad\xff");
    EXPECT_EQ(encoded.bytes, "\x1bt\x10?\r\n\t??"s);
    EXPECT_EQ(encoded.unencodable, U"中\uFFFD");
    EXPECT_EQ(encode({ 16 }, "\r\n").bytes, "\r\n") << "no table needed";
    EXPECT_THROW(escpos::TextEncoder({}), std::invalid_argument);
}

TEST(CodePages, NamedByNumberManualNameOrIconvName)
{
    for (const char* name : { "16", "WPC1252", "wpc1252", "CP1252" })
        EXPECT_EQ(escpos::findCodePageNamed(name), escpos::findCodePage(16)) << name;
    EXPECT_EQ(escpos::findCodePageNamed("pc853"), escpos::findCodePage(12));
    for (const char* name : { "", "256", "99", "-1", "16x", "Latin-1" })
        EXPECT_EQ(escpos::findCodePageNamed(name), nullptr) << name;
}
