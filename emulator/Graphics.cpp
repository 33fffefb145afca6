#include "emulator/Graphics.h"

namespace emulator {

namespace {

bool bitAt(const escpos::Command& command, std::size_t byteIndex, int bit)
{
    return (command.at(byteIndex) >> (7 - bit)) & 1;
}

// Sets a block of scaleX by scaleY dots for one source dot.
void setScaled(Bitmap& bitmap, int column, int row, int scaleX, int scaleY)
{
    for (int dy = 0; dy < scaleY; ++dy)
        for (int dx = 0; dx < scaleX; ++dx)
            bitmap.dots[std::size_t(row * scaleY + dy) * bitmap.width + column * scaleX + dx] = 1;
}

} // namespace

BitmapResult blankBitmap(long long width, long long height, int maxWidth, const char* what)
{
    BitmapResult result;
    if (width <= 0 || height <= 0)
        result.refusal = std::string(what) + " refused: it has no dots";
    else if (width > maxWidth)
        result.refusal = std::string(what) + " refused: " + std::to_string(width)
            + " dots wide, the print area has " + std::to_string(maxWidth);
    else if (height > kMaxImageHeight)
        result.refusal = std::string(what) + " refused: " + std::to_string(height)
            + " dots tall, at most " + std::to_string(kMaxImageHeight) + " are printed";
    if (!result.refusal.empty())
        return result;
    result.bitmap.width = static_cast<int>(width);
    result.bitmap.height = static_cast<int>(height);
    result.bitmap.dots.assign(std::size_t(width) * std::size_t(height), 0);
    return result;
}

BitmapResult rasterImage(const escpos::Command& command, int maxWidth)
{
    const int mode = command.at(3) & 0x03;
    const int scaleX = mode & 1 ? 2 : 1, scaleY = mode & 2 ? 2 : 1;
    const int rowBytes = command.le16(4), rows = command.le16(6);
    auto result = blankBitmap(
        (long long)rowBytes * 8 * scaleX, (long long)rows * scaleY, maxWidth, "raster image");
    if (!result.refusal.empty())
        return result;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < rowBytes * 8; ++column)
            if (bitAt(command, 8 + std::size_t(row) * rowBytes + column / 8, column % 8))
                setScaled(result.bitmap, column, row, scaleX, scaleY);
    return result;
}

BitmapResult bitImage(const escpos::Command& command, int maxWidth)
{
    const int mode = command.at(2);
    const bool tall = mode == 32 || mode == 33;
    const bool singleDensity = mode == 0 || mode == 32;
    const int dotsHigh = tall ? 24 : 8, bytesPerColumn = tall ? 3 : 1;
    const int scaleX = singleDensity ? 2 : 1, scaleY = tall ? 1 : 3;
    const int columns = command.le16(3);
    auto result = blankBitmap(
        (long long)columns * scaleX, (long long)dotsHigh * scaleY, maxWidth, "bit image");
    if (!result.refusal.empty())
        return result;
    for (int column = 0; column < columns; ++column)
        for (int dot = 0; dot < dotsHigh; ++dot)
            if (bitAt(command, 5 + std::size_t(column) * bytesPerColumn + dot / 8, dot % 8))
                setScaled(result.bitmap, column, dot, scaleX, scaleY);
    return result;
}

} // namespace emulator
