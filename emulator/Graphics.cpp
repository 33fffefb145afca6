#include "emulator/Graphics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace emulator {

namespace {

std::string_view from(const escpos::Command& command, std::size_t offset)
{
    return command.bytes.substr(std::min(offset, command.bytes.size()));
}

// Each byte of packed dots spread over eight bytes, a dot each, its top bit first.
constexpr auto kSpread = [] {
    std::array<std::array<std::uint8_t, 8>, 256> spread {};
    for (int byte = 0; byte < 256; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            spread[byte][bit] = static_cast<std::uint8_t>(byte >> (7 - bit) & 1);
    return spread;
}();

// Rows of packed dots at their own size (raster images, graphics): a byte at a time.
void spreadRows(const unsigned char* bytes, std::size_t rowBytes, Bitmap& bitmap)
{
    for (int y = 0; y < bitmap.height; ++y) {
        auto* row = bitmap.dots.data() + std::size_t(y) * bitmap.width;
        const auto* packed = bytes + std::size_t(y) * rowBytes;
        for (int x = 0; x < bitmap.width; x += 8)
            std::memcpy(
                row + x, kSpread[packed[x / 8]].data(), std::size_t(std::min(8, bitmap.width - x)));
    }
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

long long packedBytes(long long width, long long height, DotOrder order)
{
    return order == DotOrder::Rows ? (width + 7) / 8 * height : (height + 7) / 8 * width;
}

BitmapResult packedImage(std::string_view dots, long long width, long long height, DotOrder order,
    int scaleX, int scaleY, int maxWidth, const char* what, bool cutToWidth)
{
    const long long shownWidth
        = cutToWidth ? std::min<long long>(width * scaleX, maxWidth) : width * scaleX;
    auto result = blankBitmap(shownWidth, height * scaleY, maxWidth, what);
    if (!result.refusal.empty())
        return result;
    const long long needed = packedBytes(width, height, order);
    if (static_cast<long long>(dots.size()) < needed) {
        result.bitmap = {};
        result.refusal = std::string(what) + " refused: " + std::to_string(dots.size())
            + " bytes of dots, " + std::to_string(needed) + " needed";
        return result;
    }
    if (shownWidth < width * scaleX)
        result.note = std::string(what)
            + " cut to the print area: " + std::to_string(width * scaleX) + " dots wide, "
            + std::to_string(shownWidth) + " printed";
    const auto* bytes = reinterpret_cast<const unsigned char*>(dots.data());
    const std::size_t rowBytes = (width + 7) / 8, columnBytes = (height + 7) / 8;
    auto& bitmap = result.bitmap;
    const int shownColumns = static_cast<int>((shownWidth + scaleX - 1) / scaleX);
    if (order == DotOrder::Rows && scaleX == 1 && scaleY == 1) {
        spreadRows(bytes, rowBytes, bitmap);
        return result;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < shownColumns; ++x) {
            const bool set = order == DotOrder::Rows
                ? bytes[y * rowBytes + x / 8] >> (7 - x % 8) & 1
                : bytes[x * columnBytes + y / 8] >> (7 - y % 8) & 1;
            if (!set)
                continue;
            const int span = std::min(scaleX, bitmap.width - x * scaleX);
            for (int dy = 0; dy < scaleY; ++dy)
                std::fill_n(bitmap.dots.begin()
                        + static_cast<std::ptrdiff_t>(
                            std::size_t(y * scaleY + dy) * bitmap.width + x * scaleX),
                    span, 1);
        }
    }
    return result;
}

Bitmap turned(const Bitmap& bitmap, int quarterTurns)
{
    const int turns = quarterTurns & 3;
    if (turns == 0)
        return bitmap;
    Bitmap out;
    out.x = bitmap.x;
    out.y = bitmap.y;
    out.width = turns == 2 ? bitmap.width : bitmap.height;
    out.height = turns == 2 ? bitmap.height : bitmap.width;
    out.dots.assign(bitmap.dots.size(), 0);
    for (int row = 0; row < bitmap.height; ++row)
        for (int column = 0; column < bitmap.width; ++column) {
            const int x = turns == 1 ? bitmap.height - 1 - row
                : turns == 2         ? bitmap.width - 1 - column
                                     : row;
            const int y = turns == 1 ? column
                : turns == 2         ? bitmap.height - 1 - row
                                     : bitmap.width - 1 - column;
            out.dots[std::size_t(y) * out.width + x] = bitmap.at(column, row);
        }
    return out;
}

BitmapResult rasterImage(const escpos::Command& command, int maxWidth)
{
    const int mode = command.at(3) & 0x03;
    return packedImage(from(command, 8), command.le16(4) * 8LL, command.le16(6), DotOrder::Rows,
        mode & 1 ? 2 : 1, mode & 2 ? 2 : 1, maxWidth, "raster image", true);
}

BitmapResult bitImage(const escpos::Command& command, int maxWidth)
{
    const int mode = command.at(2);
    const bool tall = mode == 32 || mode == 33;
    const bool singleDensity = mode == 0 || mode == 32;
    return packedImage(from(command, 5), command.le16(3), tall ? 24 : 8, DotOrder::Columns,
        singleDensity ? 2 : 1, tall ? 1 : 3, maxWidth, "bit image");
}

} // namespace emulator
