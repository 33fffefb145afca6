// Commands that change how the paper looks without printing anything themselves: 90-degree
// rotation, upside-down lines, reverse feed, the second colour and motion units, each rendered and
// its dots checked.
#include "Ink.h"
#include "Printed.h"
#include "emulator/ReceiptRenderer.h"

#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

bool mentions(const std::vector<std::string>& warnings, const std::string& part)
{
    for (const auto& warning : warnings)
        if (warning.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(PrintEffects, RotationTurnsEachCharacterAndItsCellClockwise)
{
    const auto printed = print("\x1bV\x01--\x1bV0-\n"s);
    const auto& texts = printed.only().texts;
    ASSERT_EQ(texts.size(), 2u);
    // A turned font A cell runs 24 dots along the line and stands 12 high.
    EXPECT_EQ(std::pair(texts[0].cellWidth, texts[0].cellHeight), std::pair(24, 12));
    EXPECT_EQ(texts[1].x, 48);
    EXPECT_FALSE(mentions(printed.warnings, "ESC V"));
    // Each turned hyphen is a short upright stroke in its own 24-dot cell; the upright one lies.
    const auto picture = renderReceipt(printed.only());
    const auto first = ink(picture.copy(kPaperMargin, kPaperMargin, 24, 24));
    const auto upright = ink(picture.copy(kPaperMargin + 48, kPaperMargin, 12, 24));
    ASSERT_FALSE(first.isEmpty());
    EXPECT_GT(first.height(), first.width());
    EXPECT_GT(upright.width(), upright.height());
    EXPECT_FALSE(ink(picture.copy(kPaperMargin + 24, kPaperMargin, 24, 24)).isEmpty());
}

TEST(PrintEffects, ReverseFeedPrintsTheNextLineOverTheLastOne)
{
    const auto printed = print("____\n\x1b"
                               "e\x01||||\n"s);
    const auto& receipt = printed.only();
    ASSERT_EQ(receipt.texts.size(), 2u);
    EXPECT_EQ(receipt.texts[1].y, receipt.texts[0].y);
    EXPECT_GE(receipt.height, 30); // the paper fed once forward still holds both
    EXPECT_FALSE(mentions(printed.warnings, "ESC e"));
    // The rule and the bars share their rows: the ink of both lies within one line's height.
    const auto box = ink(renderReceipt(receipt));
    EXPECT_LE(box.bottom(), 24);
    EXPECT_GE(box.width(), 40);
}

TEST(PrintEffects, RedIsDrawnInTheSecondColourOnlyOnATwoColourHead)
{
    const auto bytes = "black \x1br\x01red\x1br\x00 black\n"s;
    const auto twoColour = print(bytes, kPaper80mm, true);
    const auto picture = renderReceipt(twoColour.only());
    ASSERT_EQ(picture.colorCount(), 3);
    EXPECT_EQ(QColor(picture.color(2)), QColor(204, 0, 0));
    // "red" stands in cells 6 to 8, in red only; the words around it are black.
    const auto red = ink(picture, 2);
    EXPECT_GE(red.left(), 6 * 12);
    EXPECT_LE(red.right(), 9 * 12);
    EXPECT_TRUE(ink(picture.copy(kPaperMargin + 6 * 12, kPaperMargin, 36, 24)).isEmpty());
    EXPECT_FALSE(ink(picture).isEmpty());
    EXPECT_FALSE(mentions(twoColour.warnings, "ESC r"));
    const auto oneColour = print(bytes);
    EXPECT_EQ(renderReceipt(oneColour.only()).colorCount(), 2);
    EXPECT_TRUE(mentions(oneColour.warnings, "the second colour (ESC r) without --two-colour"));
}

TEST(PrintEffects, MotionUnitsScaleFeedsAndPositionsSetAfterThem)
{
    // GS P 180 180: 1/180 inch. ESC $ 180 is one inch (203 dots) in; ESC 3 90 half an inch.
    const auto printed = print("\x1b"
                               "3\x1e"
                               "\x1dP\xb4\xb4\x1b$\xb4\x00X\x1b"
                               "3Z\nY\nZ\n"s);
    const auto& texts = printed.only().texts;
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].x, 203);
    EXPECT_EQ(texts[1].y - texts[0].y, 90 * 203 / 180);
    const auto picture = renderReceipt(printed.only());
    EXPECT_TRUE(ink(picture.copy(0, 0, kPaperMargin + 203, kPaperMargin + 24)).isEmpty());
    EXPECT_FALSE(ink(picture.copy(0, 0, kPaperMargin + 215, kPaperMargin + 24)).isEmpty());
    // Distances set before the units changed keep their dots (GS P 0 0 is the head's pitch).
    const auto before = print("\x1b"
                              "3\x1e\x1dP\x5a\x5a"
                              "A\nB\n\x1dP\x00\x00\x1b"
                              "3\x1e"
                              "C\nD\n"s);
    const auto& lines = before.only().texts;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].y - lines[0].y, 30);
    EXPECT_EQ(lines[3].y - lines[2].y, 30);
    EXPECT_FALSE(mentions(printed.warnings, "GS P"));
}

TEST(PrintEffects, SmoothingIsSaidToBeDrawnTheSameOnOrOff)
{
    const auto printed = print("\x1d!\x11\x1d"
                               "b\x01"
                               "A\n"s);
    EXPECT_TRUE(mentions(printed.warnings,
        "smoothing (GS b): enlarged characters are drawn smooth whether it is on or off"));
}

TEST(PrintEffects, UpsideDownTurnsEachLineAsAWholeAndKeepsTheirOrder)
{
    // A low "_", then a double-height "X": upright the "_" stands on the line's bottom at the left.
    const auto printed = print("\x1b{\x01_\x1d!\x01X\x1d!\x00\n"
                               "\x1b{\x00_\n"
                               "\x1b{\x01\x1b*\x21\x01\x00\x80\x00\x00\n"s);
    EXPECT_TRUE(printed.warnings.empty());
    const auto picture = renderReceipt(printed.only());
    const auto at = [&](int x, int y, int width, int height) {
        const auto part = picture.copy(kPaperMargin + x, kPaperMargin + y, width, height);
        return ink(part).translated(kPaperMargin, kPaperMargin); // within the part
    };
    // Turned half round with its line, the "_" is at the far side, hanging from the line's top
    // with its stroke uppermost; the tall "X" is next to it, nothing at the near side.
    const auto low = at(576 - 12, 0, 12, 24);
    ASSERT_FALSE(low.isEmpty());
    EXPECT_LE(low.top(), 4);
    EXPECT_TRUE(at(576 - 12, 24, 12, 24).isEmpty());
    EXPECT_FALSE(at(576 - 24, 24, 12, 24).isEmpty());
    EXPECT_TRUE(at(0, 0, 400, 48).isEmpty());
    // The next line, upright again, comes after it on the paper: its "_" at the bottom of its cell.
    const auto upright = at(0, 48, 12, 24);
    ASSERT_FALSE(upright.isEmpty());
    EXPECT_GE(upright.bottom(), 18);
    // An image in a turned line is turned too: its top dot is drawn at the bottom, far side.
    EXPECT_EQ(at(0, 78, 576, 24), QRect(575, 23, 1, 1));
    // The mode set within a line takes effect from the next line.
    const auto late = print("ab\x1b{\x01"
                            "cd\nef\n"s);
    const auto& texts = late.only().texts;
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(std::pair(texts[0].x, texts[1].x), std::pair(0, 24));
    EXPECT_FALSE(texts[1].style.upsideDown);
    EXPECT_EQ(texts[2].x, 576 - 24);
}
