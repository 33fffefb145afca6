// Code tables and international character sets: the 128 upper bytes of every table, as the log
// says each cell was drawn, against glibc's charmaps or, where glibc has none, another published
// mapping (Python's codecs, ICU's converters, the code page tables of the npm ESC/POS encoders),
// and the 12 national positions of ESC R against the ISO 646 variants iconv knows.
#include "Printed.h"
#include "ReferenceTables.h"
#include "escpos/CodePages.h"
#include "escpos/TextEncoder.h"
#include "escpos/Utf8.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>

using namespace std::string_literals;

namespace {

constexpr char32_t kUndefined = 0xFFFD;

std::string commandOutput(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    return output;
}

std::u32string fromUtf8(const std::string& text)
{
    std::u32string characters;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        characters += c;
        i += length;
    }
    return characters;
}

// The characters the printer logs for `bytes` printed after `setup`.
std::u32string loggedCharacters(const std::string& setup, const std::string& bytes)
{
    const auto printed = print(setup + bytes + "\n");
    for (const auto& line : printed.only().log)
        if (line.rfind("text \"", 0) == 0)
            return fromUtf8(line.substr(6, line.rfind("\" ") - 6));
    return {};
}

std::string upperBytes()
{
    std::string bytes;
    for (int byte = 0x80; byte < 0x100; ++byte)
        bytes += char(byte);
    return bytes;
}

// `bytes` on the standard input of the shell command `command`, and what it wrote.
std::string pipedThrough(const std::string& bytes, const std::string& command)
{
    std::string octal = "printf '";
    for (const unsigned char byte : bytes) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%03o", byte);
        octal += escape;
    }
    return commandOutput(octal + "' | " + command + " 2>/dev/null");
}

// The upper half of `name` in @point-of-sale/codepage-encoder, the code page tables behind the
// npm ESC/POS encoders; empty without node or the npm test clients (npm ci).
std::u32string npmCodePage(const std::string& name)
{
    const std::string module
        = NPM_CLIENTS "/node_modules/@point-of-sale/codepage-encoder/dist/codepage-encoder.mjs";
    std::istringstream numbers(commandOutput("node --input-type=module -e \"import E from '"
        + module + "'; process.stdout.write(E.getEncoding('" + name
        + "').codepoints.slice(128).join(' '))\" 2>/dev/null"));
    std::u32string cells;
    for (long code = 0; numbers >> code;)
        cells += char32_t(code);
    return cells;
}

std::string hex(int n)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", n);
    return text;
}

// The upper half of table `table` as the log gives it, byte by byte against `published`.
void expectUpperHalf(int table, const std::u32string& published)
{
    ASSERT_EQ(published.size(), 128u);
    const auto logged = loggedCharacters("\x1bt"s + char(table), upperBytes());
    ASSERT_EQ(logged.size(), 128u);
    for (int byte = 0x80; byte < 0x100; ++byte)
        EXPECT_EQ(int(logged[byte - 0x80]), int(published[byte - 0x80]))
            << "table " << table << " byte " << hex(byte);
}

const char* const kNoNpmClients
    = "node or the npm test clients (npm ci in tests/emulator/clients) are missing";

} // namespace

TEST(CodeTables, EveryCommonTableIsKnown)
{
    std::vector<int> unknown;
    for (int n : { 0, 1, 2, 3, 4, 5 })
        if (!escpos::findCodePage(std::uint8_t(n)))
            unknown.push_back(n);
    for (int n = 11; n <= 19; ++n)
        if (!escpos::findCodePage(std::uint8_t(n)))
            unknown.push_back(n);
    for (int n = 32; n <= 53; ++n)
        if (!escpos::findCodePage(std::uint8_t(n)))
            unknown.push_back(n);
    for (int n : { 254, 255 })
        if (!escpos::findCodePage(std::uint8_t(n)))
            unknown.push_back(n);
    EXPECT_EQ(unknown, std::vector<int> {});
    EXPECT_EQ(print("\x1bt\x63\x80\n").warnings,
        std::vector<std::string> { "code table 99 is not known: PC437 is used" });
}

TEST(CodeTables, UpperHalvesMatchGlibcCharmaps)
{
    for (int table = 0; table < 256; ++table) {
        const auto name = testsupport::charmapOfTable(std::uint8_t(table));
        if (!name)
            continue;
        const auto cells = testsupport::publishedTable(std::uint8_t(table));
        if (cells.empty())
            GTEST_SKIP() << "glibc's charmaps (Debian locales) are not installed: " << *name;
        const auto logged = loggedCharacters("\x1bt"s + char(table), upperBytes());
        ASSERT_EQ(logged.size(), 128u) << *name;
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const auto found = cells.find(byte);
            const char32_t expected = found == cells.end() ? kUndefined : found->second;
            EXPECT_EQ(int(logged[byte - 0x80]), int(expected))
                << "table " << table << " (" << *name << ") byte " << hex(byte);
        }
    }
}

TEST(CodeTables, KatakanaTableHasJisKatakanaAndTheRulesOfReceiptTables)
{
    const auto logged = loggedCharacters("\x1bt\x01", upperBytes());
    ASSERT_EQ(logged.size(), 128u);
    // Not the PC437 characters at the same bytes ("òòòò" and "£¥₧ƒ" corners).
    EXPECT_EQ(loggedCharacters("\x1bt\x01", "\x9c\x95\x95\x9d"), U"╭──╮");
    // glibc's JIS_X0201 publishes the katakana as the JIS characters; the printer's cells hold
    // their half-width forms. Both sides are folded by ICU (NFKC), which turns the spacing sound
    // marks of the charmap into a space and the combining mark: the space is left out.
    const auto jis = testsupport::charmap("JIS_X0201");
    if (jis.empty())
        GTEST_SKIP() << "glibc's charmaps (Debian locales) are not installed";
    std::u32string printed, published;
    for (int byte = 0xA1; byte <= 0xDF; ++byte) {
        (printed += logged[byte - 0x80]) += U'\n';
        (published += jis.at(byte)) += U'\n';
    }
    const auto fold = [](const std::u32string& text) {
        auto folded = pipedThrough(escpos::utf8Text(text), "uconv -f UTF-8 -t UTF-8 -x '::NFKC;'");
        std::erase(folded, ' ');
        return folded;
    };
    const auto printedFolded = fold(printed);
    if (printedFolded.empty())
        GTEST_SKIP() << "ICU's uconv (Debian icu-devtools) is not installed";
    EXPECT_EQ(printedFolded, fold(published));
    // The rest (block elements, box drawing, suits, the kanji of dates and prices) has no
    // standard: the encoders' published table of Epson's Katakana page is the reference, for the
    // whole page (the katakana in their half-width forms).
    const auto epson = npmCodePage("epson/katakana");
    if (epson.empty())
        GTEST_SKIP() << kNoNpmClients;
    expectUpperHalf(1, epson);
}

TEST(CodeTables, Pc853MatchesTheNpmEncodersTable)
{
    // Neither glibc, ICU nor Java has IBM's code page 853.
    const auto published = npmCodePage("cp853");
    if (published.empty())
        GTEST_SKIP() << kNoNpmClients;
    expectUpperHalf(12, published);
}

TEST(CodeTables, Pc1098MatchesIcusConverter)
{
    const auto published
        = fromUtf8(pipedThrough(upperBytes(), "uconv -f ibm-1098 -t UTF-8 --callback substitute"));
    if (published.empty())
        GTEST_SKIP() << "ICU's uconv (Debian icu-devtools) is not installed";
    expectUpperHalf(41, published);
}

// quillet-send print-text encodes with the tables the printer draws from: what it sends for
// PC853 and PC1098 is what the references give those characters.
TEST(CodeTables, TheEncoderSendsPc853AndPc1098AsTheReferencesHaveThem)
{
    const auto encoded = [](int table, const std::string& text) {
        return escpos::TextEncoder({ escpos::findCodePage(std::uint8_t(table)) }).encode(text);
    };
    const std::string farsi = "\uFE91\uFE8E \u06F1\u06F2\u06F3";
    const auto pc1098 = pipedThrough(farsi, "uconv -f UTF-8 -t ibm-1098");
    if (pc1098.empty())
        GTEST_SKIP() << "ICU's uconv (Debian icu-devtools) is not installed";
    EXPECT_EQ(encoded(41, farsi).bytes, "\x1bt\x29" + pc1098);
    const auto pc853 = npmCodePage("cp853");
    if (pc853.empty())
        GTEST_SKIP() << kNoNpmClients;
    const std::string maltese = "\u0126amrun, \u0120\u017Cira; \u011Eüzel";
    std::string expected = "\x1bt\x0c";
    for (const char32_t c : escpos::utf8Characters(maltese))
        expected += c < 0x80 ? char(c) : char(0x80 + pc853.find(c));
    const auto sent = encoded(12, maltese);
    EXPECT_EQ(sent.bytes, expected);
    EXPECT_EQ(sent.unencodable, U"");
}

TEST(CodeTables, Pc720MatchesPythonsCodec)
{
    const auto published = commandOutput("python3 -c \"import sys; sys.stdout.write(' '.join("
                                         "str(ord(bytes([b]).decode('cp720'))) for b in "
                                         "range(128, 256)))\" 2>/dev/null");
    if (published.empty())
        GTEST_SKIP() << "python3 is not installed";
    const auto logged = loggedCharacters("\x1bt\x20", upperBytes());
    ASSERT_EQ(logged.size(), 128u);
    std::istringstream numbers(published);
    for (int byte = 0x80; byte < 0x100; ++byte) {
        long code = 0;
        numbers >> code;
        // Python maps the positions PC720 leaves undefined to the C1 controls.
        const char32_t expected = code >= 0x80 && code < 0xA0 ? kUndefined : char32_t(code);
        EXPECT_EQ(int(logged[byte - 0x80]), int(expected)) << hex(byte);
    }
}

TEST(CodeTables, BlankPagesPrintNothingAbove127)
{
    for (const char table : { '\xfe', '\xff' })
        EXPECT_EQ(loggedCharacters("\x1bt"s + table, upperBytes()), std::u32string(128, U' '));
}

TEST(CodeTables, InternationalSetsMatchTheIso646Variants)
{
    const std::string positions = "#$@[\\]^`{|}~";
    const struct {
        int set;
        const char* iso646;
        std::string keptAscii; // where the printer keeps ASCII and the national standard does not
    } sets[] = {
        { 1, "NF_Z_62-010", "#`" },
        { 2, "DIN_66003", "" },
        { 3, "BS_4730", "~" },
        { 4, "DS_2089", "" },
        { 5, "SEN_850200_C", "" },
        { 6, "IT", "#@\\" },
        { 8, "JIS_C6220-1969-RO", "~" },
        { 13, "KSC5636", "" },
        { 14, "JUS_I.B1.002", "" },
        { 15, "GB_1988-80", "~" },
    };
    for (const auto& s : sets) {
        const auto national = fromUtf8(commandOutput(
            "printf '#$@[\\\\]^`{|}~' | iconv -f "s + s.iso646 + " -t UTF-8 2>/dev/null"));
        ASSERT_EQ(national.size(), 12u) << s.iso646;
        const auto logged = loggedCharacters("\x1bR"s + char(s.set), positions);
        ASSERT_EQ(logged.size(), 12u);
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const bool kept = s.keptAscii.find(positions[i]) != std::string::npos;
            EXPECT_EQ(int(logged[i]), kept ? int(positions[i]) : int(national[i]))
                << "set " << s.set << " position " << positions[i];
        }
    }
    // A set and a table combine; ESC @ and an unknown set return to USA.
    EXPECT_EQ(loggedCharacters("\x1bR\x02\x1bt\x10", "[\x80"), U"Ä€");
    EXPECT_EQ(loggedCharacters("\x1bR\x02\x1b@", "["), U"[");
    const auto unknown = print("\x1bR\x02\x1bR\x40[\n");
    EXPECT_EQ(unknown.only().texts.at(0).characters, U"[");
    EXPECT_EQ(unknown.warnings,
        std::vector<std::string> { "international character set 64 is not known: USA is used" });
}
