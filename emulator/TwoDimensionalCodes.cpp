#include "emulator/TwoDimensionalCodes.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <zint.h>

namespace emulator {

namespace {

constexpr int kPdf417 = 48, kQrCode = 49, kMaxiCode = 50, kDataBar = 51, kAztec = 53,
              kDataMatrix = 54;
constexpr int kStore = 80, kPrint = 81;

// Aztec's error correction in percent (5-95) to libzint's four levels (10, 23, 36, 50 %).
int aztecLevel(int percent)
{
    return percent <= 10 ? 1 : percent <= 23 ? 2 : percent <= 36 ? 3 : 4;
}

// GS1 DataBar's stored data starts with its type; Expanded Stacked's data has its application
// identifiers in parentheses.
void chooseDataBar(int& symbology, const char*& name, SymbolSettings& settings, std::string& data)
{
    static constexpr struct {
        int type;
        int zint;
        const char* name;
    } kTypes[] = { { 72, BARCODE_DBAR_STK, "GS1 DataBar Stacked" },
        { 73, BARCODE_DBAR_OMNSTK, "GS1 DataBar Stacked Omnidirectional" },
        { 76, BARCODE_DBAR_EXPSTK, "GS1 DataBar Expanded Stacked" } };
    const int type = data.empty() ? 0 : static_cast<unsigned char>(data.front());
    data.erase(0, 1);
    symbology = 0;
    name = "GS1 DataBar 2D of an unknown type";
    for (const auto& known : kTypes)
        if (known.type == type)
            std::tie(symbology, name) = std::pair(known.zint, known.name);
    settings.gs1 = symbology == BARCODE_DBAR_EXPSTK;
}

} // namespace

void TwoDimensionalCodes::reset()
{
    m_kinds.clear();
    m_kinds[kPdf417] = { BARCODE_PDF417, "PDF417", { 3, 9, 0, 0, 0, false }, 3, {} };
    m_kinds[kQrCode] = { BARCODE_QRCODE, "QR code", { 3, 3, 1, 0, 0, false }, 3, {} };
    m_kinds[kMaxiCode] = { BARCODE_MAXICODE, "MaxiCode", {}, 3, {} };
    m_kinds[kAztec] = { BARCODE_AZTEC, "Aztec code", {}, 3, {} };
    m_kinds[kDataMatrix] = { BARCODE_DATAMATRIX, "Data Matrix", {}, 3, {} };
    m_kinds[kDataBar] = { BARCODE_DBAR_STK, "GS1 DataBar 2D", { 2, 2, 0, 0, 0, false }, 3, {} };
    m_kinds[52] = { 0, "composite symbol", {}, 3, {} };
}

// GS ( k pL pH cn fn [m] n...: the symbol cn, its function fn and the parameters after it.
GraphicsOutcome TwoDimensionalCodes::apply(const escpos::Command& command, int areaWidth)
{
    const int symbol = command.at(5), function = command.at(6);
    const auto found = m_kinds.find(symbol);
    GraphicsOutcome outcome;
    if (found == m_kinds.end()) {
        if (function == kPrint)
            outcome.refusal = "2D code " + std::to_string(symbol) + " is not known";
        return outcome;
    }
    auto& kind = found->second;
    if (function == kStore) {
        kind.data.assign(command.bytes.substr(std::min<std::size_t>(8, command.bytes.size())));
        if (symbol == kDataBar)
            chooseDataBar(kind.zint, kind.name, kind.settings, kind.data);
    } else if (function == kPrint) {
        if (kind.zint == 0) {
            outcome.refusal = std::string(kind.name) + " is not drawn";
            return outcome;
        }
        auto result = matrixCode(kind.zint, kind.name, kind.data, kind.settings, areaWidth);
        if (!result.refusal.empty())
            outcome.refusal = std::move(result.refusal);
        else
            outcome.print = std::move(result.bitmap);
    } else if (symbol == kDataBar && function == 71) {
        outcome.refusal = "the widest row of GS1 DataBar Expanded Stacked (GS ( k 51 71): two "
                          "segment pairs a row is not drawn";
    } else {
        set(kind, function, command.at(7), command.at(8));
    }
    return outcome;
}

// A setting: `m` is the byte after the function, `n` the one after it.
void TwoDimensionalCodes::set(Kind& kind, int function, std::uint8_t m, std::uint8_t n)
{
    auto& settings = kind.settings;
    const int symbol = kind.zint;
    if (function == 67) { // module size
        const int size = symbol == BARCODE_QRCODE ? std::clamp<int>(m, 1, 16)
            : symbol == BARCODE_PDF417            ? std::clamp<int>(m, 2, 8)
                                                  : std::clamp<int>(m, 2, 16);
        settings.moduleWidth = size;
        settings.moduleHeight = symbol == BARCODE_PDF417 ? size * kind.rowHeight : size;
    } else if (symbol == BARCODE_PDF417 && function == 65) {
        settings.option2 = std::min<int>(m, 30); // columns, 0 automatic
    } else if (symbol == BARCODE_PDF417 && function == 66) {
        settings.option3 = m == 0 ? 0 : std::clamp<int>(m, 3, 90); // rows, 0 automatic
    } else if (symbol == BARCODE_PDF417 && function == 68) {
        kind.rowHeight = std::clamp<int>(m, 2, 8);
        settings.moduleHeight = settings.moduleWidth * kind.rowHeight;
    } else if (symbol == BARCODE_PDF417 && function == 69) {
        settings.option1 = m == 48 ? std::clamp(n - 48, 0, 8) : 0; // a level, or automatic
    } else if (symbol == BARCODE_QRCODE && function == 69) {
        settings.option1 = std::clamp(m - 47, 1, 4);
    } else if (symbol == BARCODE_MAXICODE && function == 65) {
        settings.option1 = std::clamp(m - 48, 2, 6); // modes 2 to 6
    } else if (symbol == BARCODE_AZTEC && function == 69) {
        settings.option1 = aztecLevel(m);
    }
}

} // namespace emulator
