#pragma once

#include "emulator/Graphics.h"
#include "escpos/Command.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace emulator {

// What one graphics command (GS ( L or GS 8 L) did: graphics to print now, or why it was refused,
// and a line for the log about what it stored or deleted.
struct GraphicsOutcome {
    std::optional<Bitmap> print;
    std::string refusal;
    std::string note;
};

// The printer's graphics: those stored in the print buffer (functions 112 raster and 113
// columns, printed by 50), NV graphics (67 and 68 define, 69 prints, 66 and 65 delete) and
// download graphics (83 and 84 define, 85 prints, 82 and 81 delete), both by a two-byte key.
// NV and download graphics stay for the whole run; each memory holds at most kMaxStoredBytes.
class GraphicsMemory {
public:
    static constexpr long long kMaxStoredBytes = 8 * 1024 * 1024;

    GraphicsOutcome apply(const escpos::Command& command, int areaWidth);
    // ESC @ clears the print buffer and the graphics waiting in it.
    void clearBuffer() { m_buffered.reset(); }

private:
    struct Stored {
        std::string dots; // every colour plane merged: any dot in any plane prints black
        int width = 0;
        int height = 0;
        DotOrder order = DotOrder::Rows;
        int scaleX = 1;
        int scaleY = 1;
    };
    struct Memory {
        const char* name;
        std::map<std::uint16_t, Stored> graphics;
        long long bytes = 0;
    };

    GraphicsOutcome storeInBuffer(std::string_view parameters, DotOrder order);
    GraphicsOutcome define(Memory& memory, std::string_view parameters, DotOrder order);
    GraphicsOutcome printStored(const Memory& memory, std::string_view parameters, int areaWidth);
    GraphicsOutcome erase(Memory& memory, std::string_view parameters);
    GraphicsOutcome eraseAll(Memory& memory, std::string_view parameters);
    static GraphicsOutcome draw(const Stored& graphics, int areaWidth, const std::string& what);

    std::optional<Stored> m_buffered;
    Memory m_nv { "NV graphics", {} };
    Memory m_download { "download graphics", {} };
};

} // namespace emulator
