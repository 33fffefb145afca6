// Page mode: what is sent between ESC L and FF is laid out in the page area, in the direction
// ESC T gives, at the vertical positions GS $ and GS \ set, and printed only when the page is.
#include "Ink.h"
#include "Printed.h"
#include "emulator/ReceiptRenderer.h"

#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

std::string le16(int n)
{
    return { char(n & 0xFF), char(n >> 8) };
}

// ESC L, ESC W x y width height
std::string page(int x, int y, int width, int height)
{
    return "\x1bL\x1bW" + le16(x) + le16(y) + le16(width) + le16(height);
}

} // namespace

TEST(PageMode, TextStandsInTheAreaAtTheVerticalPositionsSet)
{
    const auto printed = print(page(100, 50, 200, 300) + "AB" + "\x1d$" + le16(120) + "C\x1d\\"
        + le16(40) + "D\n\x0c" + "after\n");
    const auto& texts = printed.only().texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].characters, U"AB");
    EXPECT_EQ(std::pair(texts[0].x, texts[0].y), std::pair(100, 50));
    // GS $ keeps the position across: C follows B at the new height, D 40 dots further down.
    EXPECT_EQ(std::pair(texts[1].x, texts[1].y), std::pair(100 + 24, 50 + 120));
    EXPECT_EQ(std::pair(texts[2].x, texts[2].y), std::pair(100 + 36, 50 + 160));
    // FF printed the page down to its lowest line and left page mode.
    EXPECT_EQ(std::pair(texts[3].x, texts[3].y), std::pair(0, 50 + 160 + 24));
    EXPECT_TRUE(printed.warnings.empty());
}

TEST(PageMode, EachDirectionTurnsThePageInItsArea)
{
    const struct {
        int direction;
        int x, y, turns;
    } cases[] = {
        { 0, 0, 0, 0 }, { 1, 0, 200 - 24, 3 }, // bottom to top, from the lower left corner
        { 2, 576 - 24, 200 - 24, 2 }, // right to left, upside down, from the lower right
        { 3, 576 - 24, 0, 1 }, // top down, from the upper right
    };
    for (const auto& c : cases) {
        const auto printed
            = print(page(0, 0, 576, 200) + "\x1bT"s + char(c.direction) + "AB\x0c" + "after\n");
        const auto& run = printed.only().texts.at(0);
        EXPECT_EQ(std::tuple(run.x, run.y, int(run.quarterTurns)), std::tuple(c.x, c.y, c.turns))
            << c.direction;
    }
}

TEST(PageMode, ImagesTurnWithThePage)
{
    // An 8 by 2 raster whose only dot is the top-left one, printed top down: turned a quarter
    // clockwise it is 2 wide and 8 tall, its dot at the top right.
    const auto raster = "\x1dv0\x00\x01\x00\x02\x00\x80\x00"s;
    const auto printed = print(page(0, 0, 576, 100) + "\x1bT\x03" + raster + "\x0c");
    const auto& bitmap = printed.only().bitmaps.at(0);
    EXPECT_EQ(
        std::tuple(bitmap.x, bitmap.y, bitmap.width, bitmap.height), std::tuple(576 - 2, 0, 2, 8));
    EXPECT_TRUE(bitmap.at(1, 0));
    EXPECT_FALSE(bitmap.at(0, 0));
}

TEST(PageMode, PagesPrintOnlyWhenAskedAndCanBeClearedOrDropped)
{
    // ESC FF prints and stays in page mode; CAN clears; ESC S drops the page and leaves.
    const auto printed = print(page(0, 0, 576, 100) + "one\x1b\x0c" + "two\x18three\x1b\x0c"
        + "dropped\x1bS" + "standard\n");
    std::vector<std::u32string> texts;
    for (const auto& run : printed.only().texts)
        texts.push_back(run.characters);
    EXPECT_EQ(texts, (std::vector<std::u32string> { U"one", U"three", U"standard" }));
    // A page never printed leaves nothing on the paper.
    EXPECT_TRUE(print("\x1bLunprinted").receipts.empty());
}

TEST(PageMode, TurnedTextIsDrawnTurned)
{
    const auto across = ink(renderReceipt(print(page(0, 0, 576, 300) + "WWWW\x0c").only()));
    const auto down = ink(renderReceipt(print(page(0, 0, 576, 300) + "\x1bT\x03WWWW\x0c").only()));
    EXPECT_GT(across.width(), 3 * across.height());
    EXPECT_GT(down.height(), 3 * down.width());
    EXPECT_GT(down.left(), 576 - 30); // at the right edge of the area
}
