// Two-dimensional symbols of GS ( k other than the QR code: each drawn at its module size from
// the data stored for it, its settings kept per kind; the kinds not drawn are refused by name.
#include "Printed.h"
#include "emulator/NotDrawn.h"

#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

// GS ( k pL pH cn fn parameters...
std::string symbolCommand(int symbol, int function, const std::string& parameters)
{
    const auto length = parameters.size() + 2;
    return "\x1d(k"s + char(length & 0xFF) + char(length >> 8) + char(symbol) + char(function)
        + parameters;
}

std::string storeAndPrint(int symbol, const std::string& data)
{
    return symbolCommand(symbol, 80, "0" + data) + symbolCommand(symbol, 81, "0");
}

} // namespace

TEST(TwoDimensionalSymbols, AreDrawnAtTheirModuleSizes)
{
    const struct {
        std::string bytes;
        int width, height; // dots
    } cases[] = {
        // Data Matrix: "Quillet" fits 14 by 14 modules; module size 4.
        { symbolCommand(54, 67, "\x04") + storeAndPrint(54, "Quillet"), 14 * 4, 14 * 4 },
        // Aztec: compact with one layer is 15 by 15 modules; module size 3 unless set.
        { storeAndPrint(53, "Quillet"), 15 * 3, 15 * 3 },
        // PDF417: 2 data columns make 17 + 17 + 2 * 17 + 17 + 18 = 103 modules across; rows
        // of 3 module widths of 2 dots; 5 rows at error level 1 for "Quillet".
        { symbolCommand(48, 65, "\x02") + symbolCommand(48, 67, "\x02")
                + symbolCommand(48, 69, "\x30\x31") + storeAndPrint(48, "Quillet"),
            103 * 2, 0 },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.bytes);
        ASSERT_EQ(printed.receipts.size(), 1u) << testing::PrintToString(printed.warnings);
        ASSERT_EQ(printed.only().bitmaps.size(), 1u);
        const auto& symbol = printed.only().bitmaps[0];
        EXPECT_EQ(symbol.width, c.width);
        if (c.height)
            EXPECT_EQ(symbol.height, c.height);
        else
            EXPECT_EQ(symbol.height % 6, 0) << symbol.height; // whole rows of 6 dots
        EXPECT_TRUE(symbol.at(0, 0) || symbol.at(0, symbol.height - 1)); // a finder or start
    }
}

TEST(TwoDimensionalSymbols, MaxiCodeIsAboutAnInchSquare)
{
    const auto printed = print(storeAndPrint(50, "Quillet virtual printer"));
    ASSERT_EQ(printed.only().bitmaps.size(), 1u);
    const auto& symbol = printed.only().bitmaps[0];
    // 28.14 by 26.91 mm at 8 dots a millimetre, give or take its quiet zone.
    EXPECT_NEAR(symbol.width, 225, 25);
    EXPECT_NEAR(symbol.height, 215, 25);
}

// The stacked GS1 DataBar kinds stand on rows of the heights the standard gives them, in modules
// of 2 dots unless set: Stacked's 5 and 7 with a separator of 1, Stacked Omnidirectional's two of
// 33 with three separators; Expanded Stacked two segment pairs a row.
TEST(TwoDimensionalSymbols, StackedDataBarRowsHaveTheirStandardHeights)
{
    const struct {
        std::string bytes;
        int width, height; // modules
        int module; // dots
    } cases[] = {
        { storeAndPrint(51, "H0950110153000"), 50, 5 + 1 + 7, 2 },
        { symbolCommand(51, 67, "\x03") + storeAndPrint(51, "I0950110153000"), 50, 33 * 2 + 3, 3 },
        { storeAndPrint(51, "L(01)09501101530003(10)AB"), 102, 34 * 2 + 3, 2 },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.bytes);
        ASSERT_EQ(printed.only().bitmaps.size(), 1u) << testing::PrintToString(printed.warnings);
        const auto& symbol = printed.only().bitmaps[0];
        EXPECT_EQ(std::pair(symbol.width, symbol.height),
            std::pair(c.width * c.module, c.height * c.module));
    }
}

TEST(TwoDimensionalSymbols, KindsNotDrawnAndEmptyDataAreRefused)
{
    const auto printed = print(storeAndPrint(51, "X0123456789012") + storeAndPrint(52, "x")
        + symbolCommand(54, 81, "0") + symbolCommand(51, 71, "\x00\x02") + "after\n");
    EXPECT_EQ(printed.warnings,
        (std::vector<std::string> { "GS1 DataBar 2D of an unknown type is not drawn",
            "composite symbol is not drawn",
            "Data Matrix refused: Error 778: No input data (segment 0 empty)",
            "the widest row of GS1 DataBar Expanded Stacked (GS ( k 51 71): two segment pairs a "
            "row is not drawn" }));
    EXPECT_NE(notDrawnList().find(printed.warnings.back().substr(0, 60)), std::string::npos);
    EXPECT_TRUE(printed.only().bitmaps.empty());
}

TEST(TwoDimensionalSymbols, EachKindKeepsItsOwnDataUntilReset)
{
    // A QR code and a Data Matrix stored one after the other each print their own data; ESC @
    // forgets both.
    const auto printed = print(symbolCommand(49, 80, "0QR data") + symbolCommand(54, 80, "0DM")
        + symbolCommand(49, 81, "0") + symbolCommand(54, 81, "0") + "\x1b@"
        + symbolCommand(49, 81, "0") + "after\n");
    ASSERT_EQ(printed.only().bitmaps.size(), 2u);
    EXPECT_EQ(printed.only().bitmaps[0].width, 21 * 3); // version 1
    EXPECT_EQ(printed.only().bitmaps[1].width, 10 * 3); // 10 by 10
    ASSERT_EQ(printed.warnings.size(), 1u);
    EXPECT_EQ(printed.warnings[0].rfind("QR code refused: ", 0), 0u);
}
