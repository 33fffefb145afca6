// Integer parsing, safe message formatting and the 8-bit code page.
#include "platform/AnsiText.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/IntegerText.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace platform;

TEST(IntegerText, AcceptsTheRuntimeForms)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        { "0", 0 },
        { "255", 255 },
        { "  17", 17 },
        { "+5", 5 },
        { "-1", -1 },
        { "$A", 10 },
        { "x1f", 31 },
        { "X1F", 31 },
        { "0x10", 16 },
        { "0X10", 16 },
        { "$ff", 255 },
        { "007", 7 },
        { "2147483647", 2147483647 },
        { "-2147483648", INT32_MIN },
        { "$FFFFFFFF", -1 },
    };
    for (const auto& [text, value] : cases) {
        const auto parsed = parseInteger(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST(IntegerText, RejectsEverythingElse)
{
    for (const char* text : { "", " ", "-", "+", "$", "0x", "1 ", "1a", "a", "2147483648",
             "-2147483649", "$100000000", "1.5", "--1", "+-1", "0x-1", "#1", "99999999999999999999",
             "-$10", "+0x1", "\t3", "$ 1" })
        EXPECT_FALSE(parseInteger(text).has_value()) << '"' << text << '"';
    EXPECT_FALSE(parseInteger(std::string_view("1\0", 2)).has_value());
}

TEST(IntegerText, StrToIntRaisesTheConversionError)
{
    EXPECT_EQ(strToInt(" 42"), 42);
    try {
        strToInt("4x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'4x' is not a valid integer value");
    }
}

TEST(Format, FillsDirectivesInOrder)
{
    EXPECT_EQ(formatMessage("Error reading %s%s%s: %s", { "Form1", ".", "Items", "bad" }),
        "Error reading Form1.Items: bad");
    EXPECT_EQ(formatMessage("code %d, 100%%", { std::int64_t(-7) }), "code -7, 100%");
    EXPECT_EQ(formatMessage("at %p", { Address { nullptr } }).size(), 3 + 2 * sizeof(void*));
}

TEST(Format, UntrustedTemplatesNeverOverrun)
{
    for (const char* pattern : { "%s %s", "%d", "%n", "trailing %", "%x" })
        EXPECT_THROW(formatMessage(pattern, { "only one text" }), EConvertError) << pattern;
}

TEST(AnsiText, MapsToWindows1252)
{
    EXPECT_EQ(utf8ToAnsi("Grüße €"),
        "Gr\xFC\xDF"
        "e \x80");
    EXPECT_EQ(utf8ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(utf8ToAnsi("漢x"), "?x");
    EXPECT_EQ(utf8ToAnsi("\xFF"
                         "a"),
        "?a");
    EXPECT_EQ(utf8ToAnsi("\xE2\x82"), "?");
}

TEST(AnsiText, OtherCodePagesMapTheirOwnBytes)
{
    // PC437 has ü at 0x81, which Windows-1252 leaves undefined; U+0081 is no character of it.
    EXPECT_EQ(utf8ToCodePage("Grüße €", "CP437"),
        "Gr\x81\xE1"
        "e ?");
    EXPECT_EQ(utf8ToCodePage("\xC2\x81", "CP437"), "?");
    EXPECT_EQ(utf8ToCodePage("€", "ISO-8859-15"), "\xA4");
    EXPECT_TRUE(knownCodePage("CP437"));
    EXPECT_FALSE(knownCodePage("NO-SUCH-CODE-PAGE"));
    EXPECT_THROW(utf8ToCodePage("x", "NO-SUCH-CODE-PAGE"), std::invalid_argument);
}

TEST(AnsiText, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
}
