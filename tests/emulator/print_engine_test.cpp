// The print engine: where text, images and codes land on the paper, which characters the code
// tables give, how receipts end, what is refused, and what the log says.
#include "Printed.h"
#include "emulator/NotDrawn.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

const TextRun& firstText(const Printed& printed)
{
    return printed.only().texts.at(0);
}

std::string raster(int bytesPerRow, int rows, const std::string& data, char mode = 0)
{
    return "\x1dv0"s + mode + char(bytesPerRow & 0xFF) + char(bytesPerRow >> 8) + char(rows & 0xFF)
        + char(rows >> 8) + data;
}

} // namespace

TEST(PrintEngine, TextCellsFollowFontAndSizeCommands)
{
    const struct {
        std::string modes;
        int cellWidth, cellHeight;
    } cases[] = {
        { "", 12, 24 }, { "\x1bM\x01", 9, 17 }, { "\x1b!\x01", 9, 17 }, { "\x1b!\x30", 24, 48 },
        { "\x1d!\x21", 36, 48 }, { "\x1d!\x77", 96, 192 }, { "\x1b \x02", 14, 24 },
        { "\x1b!\x30\x1b@", 12, 24 }, // ESC @ resets the modes
    };
    for (const auto& c : cases) {
        const auto printed = print(c.modes + "AB\n");
        ASSERT_EQ(printed.only().texts.size(), 1u) << c.cellWidth;
        EXPECT_EQ(firstText(printed).cellWidth, c.cellWidth) << c.cellWidth;
        EXPECT_EQ(firstText(printed).cellHeight, c.cellHeight) << c.cellWidth;
        EXPECT_EQ(firstText(printed).characters, U"AB");
    }
}

TEST(PrintEngine, LinesAreAlignedInThePrintArea)
{
    const struct {
        std::string modes;
        int x;
    } cases[] = {
        { "", 0 },
        { "\x1b"
          "a1",
            (576 - 48) / 2 },
        { "\x1b"
          "a\x02",
            576 - 48 },
        { "\x1dL\x64\x00\x1dW\xc8\x00\x1b"
          "a1"s,
            100 + (200 - 48) / 2 },
        { "\x1dL\x64\x00"s, 100 },
        { "\x1b$\x2c\x01", 300 },
        { "\x1b$\x64\x00\x1b\\\xce\xff"s, 50 }, // relative moves may go back
        { "\x09", 96 }, // the first tab stop: 8 columns of 12 dots
        { "\x1b"
          "D\x03\x00\x09"s,
            36 },
        { "\x1b{\x01", 576 - 48 }, // upside down: from the far side
        { "\x1dL\x64\x00\x1b{\x01\x1b$\x0c\x00"s, 576 - 12 - 48 },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.modes + "ABCD\n");
        EXPECT_EQ(firstText(printed).x, c.x) << testing::PrintToString(c.modes);
    }
}

TEST(PrintEngine, LinesFeedByLineSpacingAndStandOnACommonBottom)
{
    auto printed = print("a\x1b!\x10"
                         "B\x1b!\x00\nnext\n\x1b"
                         "3\x50third\n\x1b"
                         "d\x02\x1bJ\x07"s);
    const auto& texts = printed.only().texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].y, 24); // the small "a" stands on the bottom of the tall "B"
    EXPECT_EQ(texts[1].y, 0);
    EXPECT_EQ(texts[2].y, 48); // a line as tall as 48 dots feeds 48, more than the spacing
    EXPECT_EQ(texts[3].y, 78);
    EXPECT_EQ(printed.only().height, 78 + 0x50 + 2 * 0x50 + 7);
}

TEST(PrintEngine, FeedCommandsFeedFromTheLineAsLineFeedDoes)
{
    // ESC d 1 prints the line and feeds one line, as LF does; ESC J n feeds n dots.
    EXPECT_EQ(print("a\x1b"
                    "d\x01"
                    "b\x1b"
                    "d\x01"
                    "c\x1b"
                    "d\x01")
                  .only()
                  .height,
        print("a\nb\nc\n").only().height);
    EXPECT_EQ(print("a\x1b"
                    "d\x03")
                  .only()
                  .height,
        90);
    EXPECT_EQ(print("a\x1bJ\x28").only().height, 40);
    EXPECT_EQ(print("a\x1bJ\x05").only().height, 24); // never less than the line's height
}

TEST(PrintEngine, AFullLineWrapsOntoTheNext)
{
    const auto printed = print(std::string(49, 'W') + "\n", kPaper80mm);
    const auto& texts = printed.only().texts;
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].characters.size(), 48u);
    EXPECT_EQ(texts[1].y, 30);
    const auto narrow = print(std::string(33, 'W') + "\n", kPaper58mm);
    EXPECT_EQ(narrow.only().texts.at(0).characters.size(), 32u);
}

TEST(PrintEngine, CodeTablesGiveTheirCharacters)
{
    const struct {
        std::uint8_t table;
        unsigned char byte;
        char32_t character;
    } cases[] = {
        { 0, 0x9B, U'\u00A2' }, // PC437 cent sign
        { 2, 0x9B, U'\u00F8' }, // PC850 o with stroke
        { 19, 0xD5, U'\u20AC' }, // PC858 euro
        { 16, 0x80, U'\u20AC' }, // WPC1252 euro
        { 17, 0x80, U'\u0410' }, // PC866 Cyrillic A
        { 46, 0xC0, U'\u0410' }, // WPC1251 Cyrillic A
        { 16, 0x81, U'\uFFFD' }, // a byte WPC1252 leaves undefined
    };
    for (const auto& c : cases) {
        const auto printed = print("\x1bt"s + char(c.table) + char(c.byte) + "\n");
        EXPECT_EQ(firstText(printed).characters, std::u32string(1, c.character)) << int(c.table);
        EXPECT_TRUE(printed.warnings.empty());
    }
    const auto unknown = print("\x1bt\x63\x9b\n");
    EXPECT_EQ(firstText(unknown).characters, U"\u00A2");
    EXPECT_EQ(
        unknown.warnings, std::vector<std::string> { "code table 99 is not known: PC437 is used" });
}

TEST(PrintEngine, RasterImagesAreDrawnDotForDot)
{
    // Two bytes a row: 1000 0000 0000 0001 / 0100 0000 0000 0011.
    const auto printed = print("\x1b"
                               "a1"
        + raster(2, 2, "\x80\x01\x40\x03"));
    ASSERT_EQ(printed.only().bitmaps.size(), 1u);
    const auto& bitmap = printed.only().bitmaps[0];
    EXPECT_EQ(bitmap.width, 16);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.x, (576 - 16) / 2);
    std::string rows;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 16; ++x)
            rows += bitmap.at(x, y) ? '#' : '.';
    EXPECT_EQ(rows,
        "#..............#"
        ".#............##");

    const auto quadruple = print(raster(1, 1, "\x80", 3));
    const auto& big = quadruple.only().bitmaps.at(0);
    EXPECT_EQ(big.width, 16);
    EXPECT_EQ(big.height, 2);
    EXPECT_TRUE(big.at(1, 1));
    EXPECT_FALSE(big.at(2, 0));
}

TEST(PrintEngine, BitImagesSitInTheLine)
{
    // ESC * 33: 24-dot columns, three bytes each, high bit on top.
    const auto printed = print("A\x1b*\x21\x02\x00\x80\x00\x01\xff\xff\xff\n"s);
    const auto& bitmap = printed.only().bitmaps.at(0);
    EXPECT_EQ(bitmap.x, 12);
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.height, 24);
    EXPECT_TRUE(bitmap.at(0, 0));
    EXPECT_FALSE(bitmap.at(0, 1));
    EXPECT_TRUE(bitmap.at(0, 23));
    EXPECT_TRUE(bitmap.at(1, 12));
    // ESC * 0: single density 8-dot columns are twice as wide and three times as tall.
    const auto coarse = print("\x1b*\x00\x01\x00\x80\n"s);
    EXPECT_EQ(coarse.only().bitmaps.at(0).width, 2);
    EXPECT_EQ(coarse.only().bitmaps.at(0).height, 24);
}

TEST(PrintEngine, AbsurdImagesAndCodesAreRefusedNotAllocated)
{
    const struct {
        std::string bytes;
        std::string warning;
    } cases[] = {
        { raster(1, 9000, std::string(9000, '\xff')),
            "raster image refused: 9000 dots tall, at most 8000 are printed" },
        { raster(0, 5, ""), "raster image refused: it has no dots" },
        { "\x1dw\x06\x1dk\x49\x30{B" + std::string(46, 'X'), "CODE128 refused: 3246 dots wide" },
        { "\x1dk\x02"
          "1234567890ab\x00"s,
            "EAN13 \"1234567890ab\" refused: Error " }, // then libzint's own words
        { "\x1dk\x02"
          "12\x00"s,
            "EAN13 takes 12 or 13 digits, not 2" },
        { "\x1dk\x44\x08"
          "12345678"s,
            "EAN8 \"12345678\" refused: Error " }, // a wrong check digit
        { "\x1d(k\x03\x00\x31\x51\x30"s,
            "QR code refused: Error 778: No input data (segment 0 empty)" },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.bytes + "after\n");
        ASSERT_EQ(printed.warnings.size(), 1u) << c.warning;
        EXPECT_EQ(printed.warnings[0].rfind(c.warning, 0), 0u) << printed.warnings[0];
        EXPECT_TRUE(printed.only().bitmaps.empty());
        EXPECT_EQ(printed.only().texts.at(0).characters, U"after") << c.warning;
        EXPECT_NE(
            std::find(printed.only().log.begin(), printed.only().log.end(), printed.warnings[0]),
            printed.only().log.end());
    }
}

TEST(PrintEngine, RasterImagesWiderThanTheAreaAreCutToIt)
{
    // 800 dots a row: the first dot and the 576th are set, and every dot past the area.
    std::string row(100, '\0');
    row[0] = '\x80';
    row[71] = '\x01';
    std::fill(row.begin() + 72, row.end(), '\xff');
    const struct {
        std::string modes;
        std::string image;
        int width; // dots printed
        int lastDot; // the column of the source's 576th dot, or -1 when it is past the area
        std::string warning;
    } cases[] = {
        { "", raster(100, 2, row + row), 576, 575,
            "raster image cut to the print area: 800 dots wide, 576 printed" },
        { "\x1dW\xc8\x00"s, raster(100, 2, row + row), 200, -1,
            "raster image cut to the print area: 800 dots wide, 200 printed" },
        // Doubled across: each source dot is two; the first 288 source dots fit.
        { "", raster(50, 1, row.substr(0, 50), '\x01'), 576, -1,
            "raster image cut to the print area: 800 dots wide, 576 printed" },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.modes + c.image);
        const auto& bitmap = printed.only().bitmaps.at(0);
        EXPECT_EQ(bitmap.width, c.width) << c.warning;
        EXPECT_TRUE(bitmap.at(0, 0));
        EXPECT_TRUE(c.lastDot < 0 || bitmap.at(c.lastDot, bitmap.height - 1)) << c.warning;
        EXPECT_FALSE(bitmap.at(c.width - 2, 0) && c.lastDot >= 0);
        EXPECT_EQ(printed.warnings, std::vector<std::string> { c.warning });
    }
}

TEST(PrintEngine, BarcodesAndQrCodesHaveTheirModuleSizes)
{
    // EAN-13 is 95 modules; the readable text goes below with GS H 2.
    const auto ean = print("\x1dh\x32\x1dw\x02\x1dH\x02\x1dk\x43\x0d"
                           "4006381333931"s);
    const auto& bars = ean.only().bitmaps.at(0);
    EXPECT_EQ(bars.width, 95 * 2);
    EXPECT_EQ(bars.height, 50);
    EXPECT_TRUE(bars.at(0, 0)); // the start guard is a bar
    EXPECT_FALSE(bars.at(2, 0));
    ASSERT_EQ(ean.only().texts.size(), 1u);
    EXPECT_EQ(ean.only().texts[0].characters, U"4006381333931");
    EXPECT_EQ(ean.only().texts[0].y, 50);

    // A version 1 QR code is 21 modules.
    const auto qr = print(
        "\x1d(k\x03\x00\x31\x43\x04\x1d(k\x05\x00\x31\x50\x30hi\x1d(k\x03\x00\x31\x51\x30"s);
    const auto& code = qr.only().bitmaps.at(0);
    EXPECT_EQ(code.width, 21 * 4);
    EXPECT_EQ(code.height, 21 * 4);
    EXPECT_TRUE(code.at(0, 0)); // a finder pattern's corner
}

TEST(PrintEngine, CutsEndReceiptsAndDrawerPulsesAreMarked)
{
    const auto printed
        = print("first\n\x1bp\x00\x32\x32\x1dV\x42\x10second\n\x1bi\x1bp\x01\x01\x01third"s);
    ASSERT_EQ(printed.receipts.size(), 3u);
    const auto& first = printed.receipts[0];
    ASSERT_EQ(first.marks.size(), 2u);
    EXPECT_EQ(first.marks[0].kind, Mark::Kind::DrawerPin2);
    EXPECT_EQ(first.marks[0].y, 30);
    EXPECT_EQ(first.marks[1].kind, Mark::Kind::PartialCut);
    EXPECT_EQ(first.marks[1].y, 30 + 16); // GS V 66 16 feeds 16 dots before cutting
    EXPECT_EQ(first.height, 46);
    EXPECT_EQ(printed.receipts[1].marks.at(0).kind, Mark::Kind::PartialCut);
    EXPECT_EQ(printed.receipts[1].texts.at(0).y, 0); // a new receipt starts at its top
    // The last receipt was never cut: its line without a line feed is printed at the end.
    EXPECT_EQ(printed.receipts[2].marks.at(0).kind, Mark::Kind::DrawerPin5);
    EXPECT_EQ(printed.receipts[2].texts.at(0).characters, U"third");
    EXPECT_EQ(print("\x1dV\x00"s).only().marks.at(0).kind, Mark::Kind::FullCut);
}

TEST(PrintEngine, InitializeAndCancelDropTheUnprintedLine)
{
    const auto printed = print("lost\x1b@kept\nlost too\x18\n");
    ASSERT_EQ(printed.only().texts.size(), 1u);
    EXPECT_EQ(printed.only().texts[0].characters, U"kept");
}

TEST(PrintEngine, TheLogNamesEveryCommandAndTextWithItsStyle)
{
    const auto printed = print("\x1b@Hel"s
        + "lo\r\n\x1b"
          "E\x01\x1b"
          "a1Bold\n\x1b\x99\x1dV\x42\x00"s);
    EXPECT_EQ(printed.only().log,
        (std::vector<std::string> { "ESC @ initialize", "text \"Hello\" font A, left, at 0",
            "CR carriage return", "LF line feed", "ESC E 1 emphasis on",
            "ESC a 49 justification center", "text \"Bold\" font A, emphasized, center, at 0",
            "LF line feed", "1B 99 unknown command, skipped",
            "GS V 66 0 partial cut after feed" }));
    EXPECT_EQ(printed.warnings, std::vector<std::string> { "1B 99 unknown command, skipped" });
}

TEST(PrintEngine, AReceiptLongerThanTwoMetresGoesOnInTheNext)
{
    std::string feeds;
    for (int i = 0; i < 70; ++i)
        feeds += "\x1b"
                 "d\xff"; // 255 lines of 30 dots each time
    const auto printed = print("top\n" + feeds + "end\n");
    ASSERT_GE(printed.receipts.size(), 2u);
    for (const auto& receipt : printed.receipts)
        EXPECT_LE(receipt.height, kMaxReceiptHeight + 255 * 30);
    EXPECT_EQ(printed.receipts.back().texts.at(0).characters, U"end");
}

TEST(PrintEngine, WhatIsNotDrawnIsSaidOnceAReceiptAndListedInTheHelp)
{
    const auto printed = print("\x1d"
                               "b\x01"
                               "a\n\x1d"
                               "b\x01"
                               "b\n\x1d"
                               "b\x00\x1br\x01\x1b{\x01"
                               "c\n\x1dV\x00"
                               "\x1d"
                               "b\x01"
                               "d\n"s);
    ASSERT_EQ(printed.receipts.size(), 2u);
    const std::vector<std::string> expected = {
        "smoothing (GS b): enlarged characters are drawn smooth whether it is on or off is not "
        "drawn",
        "the second colour (ESC r) without --two-colour: red prints black is not drawn",
        "smoothing (GS b): enlarged characters are drawn smooth whether it is on or off is not "
        "drawn"
    }; // again in the second receipt
    EXPECT_EQ(printed.warnings, expected);
    const auto& log = printed.receipts[0].log;
    EXPECT_EQ(std::count(log.begin(), log.end(), expected[0]), 1);
    for (const auto& warning : expected)
        EXPECT_NE(
            notDrawnList().find(warning.substr(0, warning.size() - 13) + "\n"), std::string::npos)
            << warning;
}
