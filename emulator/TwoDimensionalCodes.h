#pragma once

#include "emulator/Barcodes.h"
#include "emulator/GraphicsMemory.h"
#include "escpos/Command.h"

#include <map>
#include <string>

namespace emulator {

// The two-dimensional symbols of GS ( k: each kind (PDF417, QR code, MaxiCode, the stacked GS1
// DataBar kinds, Aztec, Data Matrix) keeps its settings and its stored data until it is printed (function 81) or ESC @
// resets them.
class TwoDimensionalCodes {
public:
    TwoDimensionalCodes() { reset(); }
    GraphicsOutcome apply(const escpos::Command& command, int areaWidth);
    void reset();

private:
    struct Kind {
        int zint = 0; // 0: a kind that is not drawn
        const char* name = "";
        SymbolSettings settings;
        int rowHeight = 3; // PDF417: a row's height in module widths
        std::string data;
    };
    void set(Kind& kind, int function, std::uint8_t m, std::uint8_t n);

    std::map<int, Kind> m_kinds; // by the symbol number cn
};

} // namespace emulator
