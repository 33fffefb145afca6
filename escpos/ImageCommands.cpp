#include "escpos/ImageCommands.h"

namespace escpos {

namespace {

void appendLe16(std::string& out, std::size_t n)
{
    out += char(n & 0xFF);
    out += char(n >> 8 & 0xFF);
}

// Rows of bytes, eight dots a byte, the leftmost dot in the high bit.
std::string packedRows(const DotImage& image)
{
    const int bytesPerRow = (image.width + 7) / 8;
    std::string out(std::size_t(bytesPerRow) * std::size_t(image.height), '\0');
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.at(x, y))
                out[std::size_t(y) * bytesPerRow + x / 8] |= char(0x80 >> (x % 8));
    return out;
}

} // namespace

std::string rasterImageBytes(const DotImage& image)
{
    std::string out = "\x1dv0";
    out += '\0';
    appendLe16(out, std::size_t(image.width + 7) / 8);
    appendLe16(out, std::size_t(image.height));
    return out + packedRows(image);
}

std::string bitImageBytes(const DotImage& image, bool twentyFourDot)
{
    // An 8-dot band covers 24 rows of the picture, one in three.
    const int rowStep = twentyFourDot ? 1 : 3;
    const int bandBytes = twentyFourDot ? 3 : 1;
    std::string out = "\x1b\x33\x18"; // ESC 3 24: the bands touch
    for (int top = 0; top < image.height; top += 24) {
        out += "\x1b*";
        out += char(twentyFourDot ? 33 : 1);
        appendLe16(out, std::size_t(image.width));
        for (int x = 0; x < image.width; ++x)
            for (int b = 0; b < bandBytes; ++b) {
                char column = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int y = top + (b * 8 + bit) * rowStep;
                    if (y < image.height && image.at(x, y))
                        column |= char(0x80 >> bit);
                }
                out += column;
            }
        out += '\n';
    }
    return out + "\x1b\x32";
}

std::string graphicsBytes(const DotImage& image)
{
    const std::string data = packedRows(image);
    std::string parameters = "0p0";
    parameters += "\x01\x01"; // bx, by: normal size
    parameters += '1'; // colour 1
    appendLe16(parameters, std::size_t(image.width));
    appendLe16(parameters, std::size_t(image.height));
    const std::size_t length = parameters.size() + data.size();
    std::string out;
    if (length <= 0xFFFF) {
        out = "\x1d(L";
        appendLe16(out, length);
    } else {
        out = "\x1d\x38L";
        appendLe16(out, length & 0xFFFF);
        appendLe16(out, length >> 16);
    }
    out += parameters + data;
    return out + std::string("\x1d(L\x02\x00\x30\x32", 7);
}

} // namespace escpos
