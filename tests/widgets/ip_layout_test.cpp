// The geometry of the four fields and the three dots.
#include "widgets/IPLayout.h"

#include <gtest/gtest.h>

using namespace widgets;

TEST(IPLayout, FontSizeFromPointsOrPixels)
{
    const struct {
        double points;
        int pixels;
        int dpi;
        int expectedPoints;
        int expectedPixels;
    } cases[] = {
        { 10, -1, 96, 10, 13 },
        { 0, 13, 96, 10, 13 },
        { 9, -1, 96, 9, 12 },
        { 8.6, -1, 96, 9, 12 },
        { 12, -1, 120, 12, 20 },
        { -10, -1, 96, 10, 13 },
        { -1, 16, 96, 12, 16 },
    };
    for (const auto& c : cases) {
        const auto size = layoutFontSize(c.points, c.pixels, c.dpi);
        EXPECT_EQ(size.points, c.expectedPoints) << c.points << "/" << c.pixels;
        EXPECT_EQ(size.pixels, c.expectedPixels) << c.points << "/" << c.pixels;
    }
}

TEST(IPLayout, TheMainWindowExample)
{
    const IPLayout layout = computeIPLayout(137, 21, { 10, 13 });
    EXPECT_EQ(layout.fieldWidth, 30);
    EXPECT_EQ(layout.gap, 4);
    const int xs[] = { 0, 34, 68, 102 };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(layout.fields[i].x, xs[i]);
        EXPECT_EQ(layout.fields[i].y, 2);
        EXPECT_EQ(layout.fields[i].width, 30);
        EXPECT_EQ(layout.fields[i].height, 19);
    }
    EXPECT_EQ(layout.dotX, (std::array<int, 3> { 30, 64, 98 }));
    EXPECT_EQ(layout.dotY, -6);
}

TEST(IPLayout, PreferredSizeLeavesNoSpareRoom)
{
    const IPEditSize size = preferredIPEditSize({ 10, 13 });
    EXPECT_EQ(size.width, 136);
    EXPECT_EQ(size.height, 21);
    const IPLayout layout = computeIPLayout(size.width, size.height, { 10, 13 });
    EXPECT_EQ(layout.left, 0);
    EXPECT_EQ(layout.top, 2);
}

TEST(IPLayout, OtherSizesAndTruncationTowardZero)
{
    // The new control: 125 x 21 at 9 points (12 pixels).
    const IPLayout fresh = computeIPLayout(125, 21, { 9, 12 });
    EXPECT_EQ(fresh.fieldWidth, 27);
    EXPECT_EQ(fresh.gap, 4);
    EXPECT_EQ(fresh.left, (125 - 108 - 12 - 4) / 2);
    EXPECT_EQ(fresh.top, 2);
    EXPECT_EQ(fresh.fields[3].x, fresh.left + 3 * 31);
    // Too narrow: left goes negative and -5 / 2 truncates to -2, not -3.
    const IPLayout narrow = computeIPLayout(131, 21, { 10, 13 });
    EXPECT_EQ(narrow.left, -2);
    EXPECT_EQ(narrow.dotX[0], 28);
    // Too low: top of (1 - 13 - 6) / 2 + 1 = -8, and the fields get no negative height.
    const IPLayout flat = computeIPLayout(137, 1, { 10, 13 });
    EXPECT_EQ(flat.top, -8);
    EXPECT_EQ(flat.fields[0].height, 0);
}

TEST(IPLayout, AbsurdFontsStayFinite)
{
    const auto huge = layoutFontSize(1e300, 0, 96);
    const IPLayout layout = computeIPLayout(100, 20, huge);
    EXPECT_GT(layout.fieldWidth, 0);
    EXPECT_LT(layout.left, 0);
    const auto zeroDpi = layoutFontSize(0, 13, 0);
    EXPECT_EQ(zeroDpi.points, 0);
}
