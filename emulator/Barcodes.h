#pragma once

#include "emulator/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace emulator {

// A linear barcode (GS k) drawn with libzint: `moduleWidth` dots a module, `height` dots tall.
// `type` is the GS k number (0-6 or 65-79); `data` is what follows it, without the length or
// the closing zero. `readable` receives the human-readable text printed with it, check digit
// included.
BitmapResult linearBarcode(std::uint8_t type, std::string_view data, int moduleWidth, int height,
    int maxWidth, std::string& readable);

// The settings of a two-dimensional symbol (GS ( k) that shape its picture.
struct SymbolSettings {
    int moduleWidth = 3; // dots a module across
    int moduleHeight = 3; // dots a module (a PDF417 row) high
    int option1 = 0; // libzint's option_1: error correction (QR, PDF417, Aztec), mode (MaxiCode)
    int option2 = 0; // libzint's option_2: columns (PDF417), size (Data Matrix, Aztec)
    int option3 = 0; // libzint's option_3: rows (PDF417)
    bool gs1 = false; // the data is GS1's, application identifiers in parentheses
};

// A two-dimensional symbol drawn with libzint: `symbology` is libzint's number (QR code, PDF417,
// MaxiCode, Data Matrix, Aztec, the stacked GS1 DataBar kinds); `name` names it in refusals.
BitmapResult matrixCode(int symbology, const char* name, std::string_view data,
    const SymbolSettings& settings, int maxWidth);

} // namespace emulator
