#include "emulator/Barcodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>
#include <zint.h>

namespace emulator {

namespace {

using Symbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

struct Symbology {
    int zint;
    const char* name;
    int inputMode = DATA_MODE;
};

// GS k types 0-6 and 65-79 (65-71 are 0-6 with a counted length).
Symbology symbologyOf(std::uint8_t type)
{
    static constexpr Symbology kTypes[] = { { BARCODE_UPCA, "UPC-A" }, { BARCODE_UPCE, "UPC-E" },
        { BARCODE_EANX, "EAN13" }, { BARCODE_EANX, "EAN8" }, { BARCODE_CODE39, "CODE39" },
        { BARCODE_C25INTER, "ITF" }, { BARCODE_CODABAR, "CODABAR" }, { BARCODE_CODE93, "CODE93" },
        { BARCODE_CODE128, "CODE128" }, { BARCODE_GS1_128, "GS1-128", GS1_MODE | GS1PARENS_MODE },
        { BARCODE_DBAR_OMN, "GS1 DataBar Omnidirectional" },
        { BARCODE_DBAR_OMN, "GS1 DataBar Truncated" }, { BARCODE_DBAR_LTD, "GS1 DataBar Limited" },
        { BARCODE_DBAR_EXP, "GS1 DataBar Expanded", GS1_MODE | GS1PARENS_MODE },
        { BARCODE_CODE128, "CODE128 auto" } };
    const int index = type >= 65 ? type - 65 : type;
    if (index < 0 || index >= static_cast<int>(std::size(kTypes)) || (type < 65 && type > 6))
        return { 0, "unsupported barcode" };
    return kTypes[index];
}

// EAN and UPC data may come with or without the check digit; with it, libzint checks it. Any
// other length is refused as printers refuse it (libzint would make an EAN-8 of a short EAN-13).
std::string chooseCheckDigit(Symbology& symbology, std::string_view data)
{
    const auto length = data.size();
    const std::string name = symbology.name;
    const auto takes = [&](std::size_t without, int withCheck) {
        if (length == without + 1)
            symbology.zint = withCheck;
        else if (length != without)
            return name + " takes " + std::to_string(without) + " or " + std::to_string(without + 1)
                + " digits, not " + std::to_string(length);
        return std::string();
    };
    if (name == "EAN8")
        return takes(7, BARCODE_EANX_CHK);
    if (name == "EAN13")
        return takes(12, BARCODE_EANX_CHK);
    if (name == "UPC-A")
        return takes(11, BARCODE_UPCA_CHK);
    if (name == "UPC-E" && length == 8)
        symbology.zint = BARCODE_UPCE_CHK;
    return {};
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

Symbol encode(int symbology, int inputMode, std::string_view text, const SymbolSettings& settings,
    std::string& error)
{
    Symbol symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = symbology;
    symbol->input_mode = inputMode;
    if (settings.option1)
        symbol->option_1 = settings.option1;
    if (settings.option2)
        symbol->option_2 = settings.option2;
    if (settings.option3)
        symbol->option_3 = settings.option3;
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

// Draws the symbol's modules `scaleX` dots wide; row r of the symbol is `heights[r]` dots tall.
BitmapResult draw(const zint_symbol& symbol, int scaleX, const std::vector<long long>& heights,
    int maxWidth, const char* what)
{
    long long total = 0;
    for (const auto height : heights)
        total += height;
    auto result = blankBitmap((long long)symbol.width * scaleX, total, maxWidth, what);
    if (!result.refusal.empty())
        return result;
    auto& bitmap = result.bitmap;
    int y = 0;
    for (std::size_t row = 0; row < heights.size(); ++row) {
        for (long long k = 0; k < heights[row]; ++k, ++y) {
            auto* line = bitmap.dots.data() + std::size_t(y) * bitmap.width;
            if (k > 0) { // the same modules as the line above
                std::memcpy(line, line - bitmap.width, std::size_t(bitmap.width));
                continue;
            }
            for (int x = 0; x < bitmap.width; ++x)
                line[x] = moduleSet(symbol, int(row), x / scaleX);
        }
    }
    return result;
}

bool stackedDataBar(int symbology)
{
    return symbology == BARCODE_DBAR_STK || symbology == BARCODE_DBAR_OMNSTK
        || symbology == BARCODE_DBAR_EXPSTK;
}

// The rows of a stacked GS1 DataBar in dots, `module` dots a module: libzint gives the fixed
// ones (the separators, a stacked symbol's short rows) and leaves the others (0) to share the
// rest of the symbol's height.
std::vector<long long> dataBarRows(const zint_symbol& symbol, int module)
{
    double fixed = 0;
    int shared = 0;
    for (int row = 0; row < symbol.rows; ++row) {
        fixed += symbol.row_height[row];
        shared += symbol.row_height[row] == 0;
    }
    const double rest = shared ? (symbol.height - fixed) / shared : 0;
    std::vector<long long> heights;
    for (int row = 0; row < symbol.rows; ++row) {
        const double modules = symbol.row_height[row] > 0 ? symbol.row_height[row] : rest;
        heights.push_back(std::lround(modules * module));
    }
    return heights;
}

BitmapResult refusedSymbol(std::string reason)
{
    BitmapResult result;
    result.refusal = std::move(reason);
    return result;
}

// MaxiCode's modules are hexagons: libzint draws its picture, at the symbol's fixed size of
// about an inch (libzint's scale 0.75 gives 8 dots a millimetre).
BitmapResult drawRendered(zint_symbol& symbol, int maxWidth, const char* what)
{
    symbol.scale = 0.75f;
    if (ZBarcode_Buffer(&symbol, 0) >= ZINT_ERROR)
        return refusedSymbol(std::string(what) + " refused: " + symbol.errtxt);
    auto result = blankBitmap(symbol.bitmap_width, symbol.bitmap_height, maxWidth, what);
    if (!result.refusal.empty())
        return result;
    for (std::size_t i = 0; i < result.bitmap.dots.size(); ++i)
        result.bitmap.dots[i] = symbol.bitmap[i * 3] < 128; // red of a black or white pixel
    return result;
}

} // namespace

BitmapResult linearBarcode(std::uint8_t type, std::string_view data, int moduleWidth, int height,
    int maxWidth, std::string& readable)
{
    auto symbology = symbologyOf(type);
    if (symbology.zint == 0)
        return refusedSymbol("barcode type " + std::to_string(type) + " is not supported");
    if (auto reason = chooseCheckDigit(symbology, data); !reason.empty())
        return refusedSymbol(reason);
    std::string text = symbology.zint == BARCODE_CODE128 ? code128Text(data)
        : symbology.zint == BARCODE_CODE39               ? code39Text(data)
                                                         : std::string(data);
    std::string error;
    const auto symbol = encode(symbology.zint, symbology.inputMode, text, {}, error);
    if (!error.empty())
        return refusedSymbol(std::string(symbology.name) + " \"" + text + "\" refused: " + error);
    // libzint's text is what scanners read: EAN and UPC with their check digit, GS1 with its
    // application identifiers in parentheses.
    readable = symbology.zint == BARCODE_CODE39 || symbol->text[0] == 0
        ? text
        : reinterpret_cast<const char*>(symbol->text);
    // A symbol of several rows (DataBar Expanded) shares out the height.
    const int rows = std::max(1, symbol->rows);
    return draw(*symbol, moduleWidth, std::vector<long long>(rows, std::max(1, height / rows)),
        maxWidth, symbology.name);
}

BitmapResult matrixCode(int symbology, const char* name, std::string_view data,
    const SymbolSettings& settings, int maxWidth)
{
    std::string error;
    const auto symbol = encode(
        symbology, settings.gs1 ? GS1_MODE | GS1PARENS_MODE : DATA_MODE, data, settings, error);
    if (!error.empty())
        return refusedSymbol(std::string(name) + " refused: " + error);
    if (symbology == BARCODE_MAXICODE)
        return drawRendered(*symbol, maxWidth, name);
    const auto rows = stackedDataBar(symbology)
        ? dataBarRows(*symbol, settings.moduleWidth)
        : std::vector<long long>(symbol->rows, settings.moduleHeight);
    return draw(*symbol, settings.moduleWidth, rows, maxWidth, name);
}

} // namespace emulator
