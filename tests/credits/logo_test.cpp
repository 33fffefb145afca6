// The credits logo: size, two colours, a drawing rather than a blank.
#include "credits/Logo.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Logo, IsATwoColourPictureOf413By38)
{
    const credits::LogoPicture logo = credits::creditsLogo();
    ASSERT_EQ(logo.width, 413);
    ASSERT_EQ(logo.height, 38);
    ASSERT_EQ(logo.pixels.size(), 413u * 38u);
    EXPECT_NE(logo.paperColour, logo.inkColour);
    EXPECT_TRUE(std::all_of(logo.pixels.begin(), logo.pixels.end(), [](auto p) { return p <= 1; }));
    const auto ink = std::count(logo.pixels.begin(), logo.pixels.end(), 1);
    EXPECT_GT(ink, 413 * 38 / 10);
    EXPECT_LT(ink, 413 * 38 * 7 / 10);
    EXPECT_EQ(logo.at(0, 0), 1) << "framed";
    EXPECT_EQ(logo.at(412, 37), 1) << "framed";
    EXPECT_EQ(logo.pixels, credits::creditsLogo().pixels) << "the same picture every time";
}
