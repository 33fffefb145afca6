#include "escpos/CapabilityImages.h"

#include <memory>
#include <zint.h>

namespace escpos {

namespace {

constexpr int kQuietModules = 4;

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

DotImage qrCodeImage(std::string_view text, int moduleDots)
{
    const std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(
        ZBarcode_Create(), ZBarcode_Delete);
    symbol->symbology = BARCODE_QRCODE;
    symbol->option_1 = 2; // error correction M
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(text.data()),
            static_cast<int>(text.size()))
        >= ZINT_ERROR)
        return {};
    const int modules = symbol->width + 2 * kQuietModules;
    DotImage image { modules * moduleDots, modules * moduleDots, {} };
    image.dots.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int row = 0; row < symbol->rows; ++row)
        for (int column = 0; column < symbol->width; ++column) {
            if (!((symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1))
                continue;
            const int left = (column + kQuietModules) * moduleDots;
            const int top = (row + kQuietModules) * moduleDots;
            for (int y = top; y < top + moduleDots; ++y)
                for (int x = left; x < left + moduleDots; ++x)
                    image.dots[std::size_t(y) * image.width + x] = 1;
        }
    return image;
}

} // namespace escpos
