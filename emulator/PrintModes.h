#pragma once

#include "emulator/PaperLayout.h"
#include "emulator/Receipt.h"

#include <cstdint>
#include <string>
#include <vector>

namespace emulator {

// Font A cells are 12 by 24 dots, font B cells 9 by 17.
inline constexpr int kFontAWidth = 12, kFontAHeight = 24;
inline constexpr int kFontBWidth = 9, kFontBHeight = 17;

// Everything ESC @ resets: the modes that shape what is printed next.
struct PrintModes {
    TextStyle style;
    Alignment alignment = Alignment::Left;
    int lineSpacing = 30;
    int rightSpacing = 0;
    int leftMargin = 0;
    int printWidth = 0; // 0: the paper's width
    std::uint8_t codePage = 0;
    std::vector<int> tabColumns = { 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96 };
    int barcodeHeight = 162;
    int barcodeModule = 3;
    std::uint8_t readablePosition = 0; // 0 none, 1 above, 2 below, 3 both
    bool readableFontB = false;
    // GS P: the units (parts of an inch) that positions and feeds are given in; the head's own
    // dots until a client sets others.
    int horizontalUnit = kDotsPerInch;
    int verticalUnit = kDotsPerInch;

    // A character's advance and line height on the paper; a turned character (ESC V) turns its
    // cell too, so its height runs across the line.
    int cellWidth() const { return style.rotated ? uprightHeight() : uprightWidth(); }
    int cellHeight() const { return style.rotated ? uprightWidth() : uprightHeight(); }
    // A distance given in motion units, in dots (the part of a dot left over is not fed).
    int across(int units) const { return units * kDotsPerInch / horizontalUnit; }
    int along(int units) const { return units * kDotsPerInch / verticalUnit; }

private:
    int uprightWidth() const
    {
        return ((style.fontB ? kFontBWidth : kFontAWidth) + rightSpacing) * style.width;
    }
    int uprightHeight() const { return (style.fontB ? kFontBHeight : kFontAHeight) * style.height; }
};

// The words a text line is logged with: "font A, emphasized, width x2, center".
std::string styleWords(const TextStyle& style, Alignment alignment);
void appendUtf8(std::string& text, char32_t character);

} // namespace emulator
