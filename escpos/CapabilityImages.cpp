#include "escpos/CapabilityImages.h"

#include <iterator>

namespace escpos {

namespace {

constexpr int kQuietModules = 4;

// clang-format off
// The QR code (model 2, error correction M) of "Quillet QR as an image", as libzint 2.11 encodes
// it, kept here so that sending text never loads the symbol library; the capability page's test
// reads it back with zbarimg.
constexpr const char* kQrModules[] = {
    "####### # #   #   #######",
    "#     #   ##      #     #",
    "# ### # # #  # ## # ### #",
    "# ### #   ## ##   # ### #",
    "# ### #   # # # # # ### #",
    "#     # #     #   #     #",
    "####### # # # # # #######",
    "         #  # ###        ",
    "# #   ## # ##   #  #  # #",
    "#  ##     # #  ### #  # #",
    "##  ##### ###### ## # # #",
    "# ####        #   #  # # ",
    "## ## #   ##   #### ##  #",
    "   # # ####    ## ## ####",
    "#### ## #  #   ######## #",
    "    #  ###    #      # # ",
    "#### ## ## ##  ####### ##",
    "        ### #   #   #### ",
    "####### ##  ##  # # ### #",
    "#     #    ## # #   ##  #",
    "# ### #  ##  #########  #",
    "# ### #      # ###  ## # ",
    "# ### # # ##   ### ## ###",
    "#     #  ##  # ##    #   ",
    "####### ## ###  # # #   #",
};
// clang-format on

bool testDot(int x, int y)
{
    const int row = y / 3; // 24 rows of three dots each
    if (x == 0 || x == 191 || row == 0 || row == 23)
        return true;
    if (x < 48)
        return (x / 8 + row / 2) % 2 == 0;
    if (x < 144)
        return x - 48 < row * 4;
    const int d = (x - 144) - 2 * row;
    return d >= -1 && d <= 1;
}

} // namespace

DotImage testImage()
{
    DotImage image { 192, 72, {} };
    image.dots.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.dots[std::size_t(y) * image.width + x] = testDot(x, y);
    return image;
}

DotImage pageQrCodeImage(int moduleDots)
{
    const int modules = int(std::size(kQrModules)) + 2 * kQuietModules;
    DotImage image { modules * moduleDots, modules * moduleDots, {} };
    image.dots.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int row = y / moduleDots - kQuietModules, column = x / moduleDots - kQuietModules;
            image.dots[std::size_t(y) * image.width + x] = row >= 0 && column >= 0
                && row < int(std::size(kQrModules)) && column < int(std::size(kQrModules))
                && kQrModules[row][column] == '#';
        }
    return image;
}

} // namespace escpos
