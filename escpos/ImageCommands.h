#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace escpos {

// A picture in printer dots, one byte a dot (non-zero black), row after row.
struct DotImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;
    bool at(int x, int y) const { return dots[std::size_t(y) * std::size_t(width) + x] != 0; }
};

// The image as GS v 0 (raster, normal size). The width is padded to whole bytes with white.
std::string rasterImageBytes(const DotImage& image);

// The image as bands of ESC * (bit image, double density), a line feed after each band and
// the line spacing set to the band's height: 24-dot bands (m = 33) print the image as it is;
// 8-dot bands (m = 1) are printed three dots tall each, so they carry every third row and the
// image is only the same where its rows come in threes. The default spacing (ESC 2) after.
std::string bitImageBytes(const DotImage& image, bool twentyFourDot);

// The image stored in the print buffer by GS ( L (function 112, monochrome, normal size) and
// printed by GS ( L function 50; GS 8 L stores images too large for GS ( L's 16-bit length.
std::string graphicsBytes(const DotImage& image);

} // namespace escpos
