// Graphics (GS ( L and GS 8 L): the print buffer's graphics in rows and in columns, NV and
// download graphics kept by key across receipts, and every size or key the printer cannot honour
// refused with a word in the log, never allocated.
#include "Printed.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

// The test picture: 10 by 3 dots, a width that is not a whole number of bytes.
constexpr int kWidth = 10, kHeight = 3;
bool dot(int x, int y)
{
    return (x * 3 + y) % 4 == 0 || x == kWidth - 1;
}

std::string le16(int n)
{
    return { char(n & 0xFF), char(n >> 8 & 0xFF) };
}

// The picture packed as clients pack it: rows of bytes or columns of bytes, high bit first.
std::string rows()
{
    std::string bytes((kWidth + 7) / 8 * kHeight, '\0');
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (dot(x, y))
                bytes[y * ((kWidth + 7) / 8) + x / 8] |= char(0x80 >> x % 8);
    return bytes;
}

std::string columns()
{
    std::string bytes((kHeight + 7) / 8 * kWidth, '\0');
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            if (dot(x, y))
                bytes[x * ((kHeight + 7) / 8) + y / 8] |= char(0x80 >> y % 8);
    return bytes;
}

// GS ( L pL pH m fn ... and GS 8 L p1 p2 p3 p4 m fn ...
std::string gsParenL(int function, const std::string& parameters)
{
    return "\x1d(L" + le16(int(parameters.size()) + 2) + "0" + char(function) + parameters;
}

std::string gs8L(int function, const std::string& parameters)
{
    const auto size = parameters.size() + 2;
    return "\x1d"
           "8L"
        + le16(int(size & 0xFFFF)) + le16(int(size >> 16)) + "0" + char(function) + parameters;
}

// a bx by c xL xH yL yH d... for functions 112 and 113
std::string buffered(const std::string& dots, int scaleX = 1, int scaleY = 1, char colour = '1',
    int width = kWidth, int height = kHeight)
{
    return "0"s + char(scaleX) + char(scaleY) + colour + le16(width) + le16(height) + dots;
}

// a kc1 kc2 b xL xH yL yH [c d...]... for functions 67, 68, 83 and 84
std::string defined(const std::string& key, const std::vector<std::string>& planes,
    int width = kWidth, int height = kHeight)
{
    std::string bytes = "0" + key + char(planes.size()) + le16(width) + le16(height);
    for (std::size_t i = 0; i < planes.size(); ++i)
        bytes += char('1' + i) + planes[i];
    return bytes;
}

std::string printKey(int function, const std::string& key, int scaleX = 1, int scaleY = 1)
{
    return gsParenL(function, key + char(scaleX) + char(scaleY));
}

// Checks that the bitmap is the test picture, each dot drawn scaleX by scaleY.
void expectPicture(const Bitmap& bitmap, int scaleX = 1, int scaleY = 1)
{
    ASSERT_EQ(bitmap.width, kWidth * scaleX);
    ASSERT_EQ(bitmap.height, kHeight * scaleY);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x)
            ASSERT_EQ(bitmap.at(x, y), dot(x / scaleX, y / scaleY)) << x << "," << y;
}

bool logged(const Receipt& receipt, const std::string& line)
{
    return std::find(receipt.log.begin(), receipt.log.end(), line) != receipt.log.end();
}

} // namespace

TEST(Graphics, BufferedGraphicsInRowsOrColumnsPrintDotForDot)
{
    const struct {
        std::string bytes;
        int scaleX, scaleY;
    } cases[] = {
        { gsParenL(112, buffered(rows())) + gsParenL(50, ""), 1, 1 },
        { gs8L(112, buffered(rows(), 2, 2)) + gsParenL(2, ""), 2, 2 },
        { gsParenL(113, buffered(columns(), 1, 2)) + gsParenL(50, ""), 1, 2 },
        { gs8L(113, buffered(columns())) + gs8L(50, ""), 1, 1 },
    };
    for (const auto& c : cases) {
        const auto printed = print("text\n" + c.bytes);
        ASSERT_EQ(printed.only().bitmaps.size(), 1u) << c.scaleX << c.scaleY;
        expectPicture(printed.only().bitmaps[0], c.scaleX, c.scaleY);
        EXPECT_EQ(printed.only().bitmaps[0].y, 30); // below the line printed before it
        EXPECT_TRUE(printed.warnings.empty());
    }
}

TEST(Graphics, ColourPlanesAndTonesAllPrintBlack)
{
    // The picture split over two planes, each stored with its colour, and as two planes of NV
    // graphics: any dot in any plane is black.
    std::string even = rows(), odd = rows();
    for (std::size_t i = 0; i < even.size(); ++i) {
        even[i] &= char(0xAA);
        odd[i] &= char(0x55);
    }
    const auto printed
        = print(gsParenL(112, buffered(even, 1, 1, '1')) + gsParenL(112, buffered(odd, 1, 1, '4'))
            + gsParenL(50, "") + gsParenL(67, defined("G1", { even, odd })) + printKey(69, "G1"));
    ASSERT_EQ(printed.only().bitmaps.size(), 2u);
    expectPicture(printed.only().bitmaps[0]);
    expectPicture(printed.only().bitmaps[1]);
}

TEST(Graphics, StoredGraphicsPrintByKeyAcrossReceiptsUntilDeleted)
{
    const auto cut = "\x1dV\x00"s;
    const auto printed = print(gsParenL(67, defined("A1", { rows() }))
        + gsParenL(84, defined("B2", { columns() })) + cut + "\x1b@" + printKey(69, "A1", 2, 1)
        + printKey(85, "B2") + cut + gsParenL(66, "A1") + printKey(69, "A1") + printKey(85, "B2")
        + cut + gsParenL(81, "CLR") + printKey(85, "B2") + "end\n");
    ASSERT_EQ(printed.receipts.size(), 4u); // the first holds only its cut
    EXPECT_TRUE(printed.receipts[0].bitmaps.empty());
    ASSERT_EQ(printed.receipts[1].bitmaps.size(), 2u);
    expectPicture(printed.receipts[1].bitmaps[0], 2, 1);
    expectPicture(printed.receipts[1].bitmaps[1]);
    ASSERT_EQ(printed.receipts[2].bitmaps.size(), 1u); // A1 was deleted, B2 was not
    expectPicture(printed.receipts[2].bitmaps[0]);
    EXPECT_TRUE(printed.receipts[3].bitmaps.empty());
    EXPECT_TRUE(logged(printed.receipts[2], "NV graphics \"A1\" deleted"));
    EXPECT_EQ(printed.warnings,
        (std::vector<std::string> { "NV graphics \"A1\" is not defined: nothing printed",
            "download graphics \"B2\" is not defined: nothing printed" }));
}

TEST(Graphics, WhatCannotBeHonouredIsRefusedAndLogged)
{
    const struct {
        std::string bytes;
        std::string warning;
    } cases[] = {
        { gs8L(112, buffered("", 1, 1, '1', 60000, 60000)),
            "graphics for the print buffer refused: 60000x60000 dots, at most 8192x8000 dots" },
        { gsParenL(112, buffered("", 1, 1, '1', 0, 5)),
            "graphics for the print buffer refused: it has no dots" },
        { gsParenL(112, buffered(rows().substr(1))),
            "graphics for the print buffer refused: 5 bytes of dots, 6 needed" },
        { gsParenL(50, ""), "graphics printed from the print buffer, which holds none" },
        { gsParenL(112, buffered(rows())) + "\x1b@" + gsParenL(50, ""),
            "graphics printed from the print buffer, which holds none" }, // ESC @ cleared it
        { gsParenL(112, buffered(std::string(100 * 3, '\xff'), 1, 1, '1', 800, 3))
                + gsParenL(50, ""),
            "graphics refused: 800 dots wide, the print area has 576" },
        { gsParenL(67, defined("K1", { rows().substr(2) })),
            "NV graphics \"K1\" refused: its data is shorter than 1 colour planes of 10x3 dots" },
        { gsParenL(65, "CLX"), "deleting all NV graphics refused: \"CLR\" is missing" },
    };
    for (const auto& c : cases) {
        const auto printed = print(c.bytes + "after\n");
        EXPECT_EQ(printed.warnings, std::vector<std::string> { c.warning });
        EXPECT_TRUE(printed.only().bitmaps.empty()) << c.warning;
        EXPECT_TRUE(logged(printed.only(), c.warning)) << c.warning;
    }
}

TEST(Graphics, EachMemoryHoldsABoundedAmount)
{
    // Each definition holds 1 MiB of dots (8192 by 1024); the ninth does not fit in 8 MiB, but a
    // redefinition of a key already held does, and so does the other memory.
    const std::string plane(1024 * 1024, '\x01');
    std::string bytes;
    for (int key = 0; key < 9; ++key)
        bytes += gs8L(67, defined("K" + std::to_string(key), { plane }, 8192, 1024));
    bytes += gs8L(67, defined("K0", { plane }, 8192, 1024));
    bytes += gs8L(83, defined("K9", { plane }, 8192, 1024));
    const auto printed = print(bytes + "after\n");
    EXPECT_EQ(printed.warnings,
        std::vector<std::string> {
            "NV graphics \"K8\" refused: the memory holds at most 8388608 bytes of graphics" });
}
