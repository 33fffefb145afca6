#pragma once

#include "emulator/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace emulator {

// A linear barcode (GS k) drawn with libzint: `moduleWidth` dots a module, `height` dots tall.
// `type` is the GS k number (0-6 or 65-73); `data` is what follows it, without the length or
// the closing zero. `readable` receives the human-readable text printed with it.
BitmapResult linearBarcode(std::uint8_t type, std::string_view data, int moduleWidth, int height,
    int maxWidth, std::string& readable);

// A QR code (GS ( k) drawn with libzint; `errorLevel` 1 (L) to 4 (H).
BitmapResult qrCode(std::string_view data, int moduleSize, int errorLevel, int maxWidth);

} // namespace emulator
