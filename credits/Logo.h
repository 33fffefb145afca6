#pragma once
// The credits logo (Image1): a two-colour picture, 413 x 38 pixels, drawn by code so that no
// image file has to be shipped. The window turns it into a QImage.

#include <cstdint>
#include <vector>

namespace credits {

struct LogoPicture {
    int width = 0;
    int height = 0;
    // One entry per pixel, row by row from the top: 0 paper, 1 ink.
    std::vector<std::uint8_t> pixels;
    // The two colours as 0xRRGGBB.
    std::uint32_t paperColour = 0;
    std::uint32_t inkColour = 0;

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The logo: a frame, a quill on the left and a band of barcode bars over a torn receipt edge.
LogoPicture creditsLogo();

} // namespace credits
