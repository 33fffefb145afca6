// The bytes of the three test actions.
#include "printer/TestActions.h"

#include <gtest/gtest.h>

using namespace printer;

namespace {

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

} // namespace

TEST(TestActions, PrintTestWrapsTheTextInResetsAndALineEnd)
{
    const struct {
        const char* what;
        std::string text;
        std::string sent;
    } cases[] = {
        { "empty text", "", bytes({ 0x1B, 0x40, 0x0D, 0x0A, 0x1B, 0x40 }) },
        { "default text", "\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very much!\r\n\r\n",
            "\x1B@\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very "
            "much!\r\n\r\n\r\n\x1B@" },
        { "text ending in CR LF keeps it and gains one", "abc\r\n", "\x1B@abc\r\n\r\n\x1B@" },
        { "8-bit bytes pass unchanged", "\xE9\x80\xFF", "\x1B@\xE9\x80\xFF\r\n\x1B@" },
        { "zero bytes are data", std::string("a\0b", 3), std::string("\x1B@a\0b\r\n\x1B@", 9) },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printTestBytes(c.text), c.sent) << c.what;
        EXPECT_EQ(printTestBytes(c.text).size(), c.text.size() + 6) << c.what;
    }
}

TEST(TestActions, CutPaperAndCashDrawerSendTheirZeroBytes)
{
    EXPECT_EQ(cutPaperBytes(), bytes({ 0x1D, 0x56, 0x42, 0x00 }));
    EXPECT_EQ(cashDrawerBytes(), bytes({ 0x1B, 0x70, 0x00, 0x32, 0x32, 0x0D }));
}
