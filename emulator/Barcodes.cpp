#include "emulator/Barcodes.h"

#include <memory>
#include <zint.h>

namespace emulator {

namespace {

using Symbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

struct Symbology {
    int zint;
    const char* name;
};

// GS k types 0-6 and 65-73 in order (65-71 are 0-6 with a counted length).
Symbology symbologyOf(std::uint8_t type)
{
    static constexpr Symbology kTypes[] = { { BARCODE_UPCA, "UPC-A" }, { BARCODE_UPCE, "UPC-E" },
        { BARCODE_EANX, "EAN13" }, { BARCODE_EANX, "EAN8" }, { BARCODE_CODE39, "CODE39" },
        { BARCODE_C25INTER, "ITF" }, { BARCODE_CODABAR, "CODABAR" }, { BARCODE_CODE93, "CODE93" },
        { BARCODE_CODE128, "CODE128" } };
    const int index = type >= 65 ? type - 65 : type;
    if (index < 0 || index >= static_cast<int>(std::size(kTypes)) || (type < 65 && type > 6))
        return { 0, "unsupported barcode" };
    return kTypes[index];
}

// CODE128 data selects its code set with "{A", "{B" or "{C"; in set C each byte is a pair of
// digits. libzint chooses code sets itself, so it gets the plain text.
std::string code128Text(std::string_view data)
{
    std::string text;
    bool setC = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == '{' && i + 1 < data.size()) {
            const char function = data[++i];
            if (function == '{')
                text += '{';
            else if (function == 'A' || function == 'B' || function == 'C')
                setC = function == 'C';
            continue; // FNC1-4 and SHIFT carry no text
        }
        if (setC && byte < 100) {
            text += static_cast<char>('0' + byte / 10);
            text += static_cast<char>('0' + byte % 10);
        } else {
            text += static_cast<char>(byte);
        }
    }
    return text;
}

// CODE39 data may carry the start and stop characters, which libzint adds itself.
std::string code39Text(std::string_view data)
{
    if (data.size() >= 2 && data.front() == '*' && data.back() == '*')
        data = data.substr(1, data.size() - 2);
    return std::string(data);
}

Symbol encode(int symbology, std::string_view text, int option, std::string& error)
{
    Symbol symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = symbology;
    symbol->input_mode = DATA_MODE;
    if (option)
        symbol->option_1 = option;
    const int status = ZBarcode_Encode(symbol.get(),
        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (status >= ZINT_ERROR)
        error = symbol->errtxt;
    return symbol;
}

bool moduleSet(const zint_symbol& symbol, int row, int column)
{
    return (symbol.encoded_data[row][column >> 3] >> (column & 7)) & 1;
}

// Draws the symbol's modules, each `scaleX` by `scaleY` dots; a linear symbol's one row is
// repeated `height` times.
BitmapResult draw(
    const zint_symbol& symbol, int scaleX, int scaleY, int rows, int maxWidth, const char* what)
{
    auto result
        = blankBitmap((long long)symbol.width * scaleX, (long long)rows * scaleY, maxWidth, what);
    if (!result.refusal.empty())
        return result;
    auto& bitmap = result.bitmap;
    for (int y = 0; y < bitmap.height; ++y) {
        const int row = symbol.rows == 1 ? 0 : y / scaleY;
        for (int x = 0; x < bitmap.width; ++x)
            bitmap.dots[std::size_t(y) * bitmap.width + x] = moduleSet(symbol, row, x / scaleX);
    }
    return result;
}

} // namespace

BitmapResult linearBarcode(std::uint8_t type, std::string_view data, int moduleWidth, int height,
    int maxWidth, std::string& readable)
{
    const auto symbology = symbologyOf(type);
    BitmapResult refused;
    if (symbology.zint == 0) {
        refused.refusal = "barcode type " + std::to_string(type) + " is not supported";
        return refused;
    }
    std::string text = symbology.zint == BARCODE_CODE128 ? code128Text(data)
        : symbology.zint == BARCODE_CODE39               ? code39Text(data)
                                                         : std::string(data);
    std::string error;
    const auto symbol = encode(symbology.zint, text, 0, error);
    if (!error.empty()) {
        refused.refusal = std::string(symbology.name) + " \"" + text + "\" refused: " + error;
        return refused;
    }
    readable = text;
    return draw(*symbol, moduleWidth, 1, height, maxWidth, symbology.name);
}

BitmapResult qrCode(std::string_view data, int moduleSize, int errorLevel, int maxWidth)
{
    std::string error;
    const auto symbol = encode(BARCODE_QRCODE, data, errorLevel, error);
    if (!error.empty()) {
        BitmapResult refused;
        refused.refusal = "QR code refused: " + error;
        return refused;
    }
    return draw(*symbol, moduleSize, moduleSize, symbol->rows, maxWidth, "QR code");
}

} // namespace emulator
