#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A receipt as the printer lays it out on paper, in dots (203 dpi, 8 dots a millimetre), before
// it becomes a picture: text runs, bitmaps, and marks for cuts and drawer pulses, plus the lines
// of its decoded command log.
namespace emulator {

inline constexpr int kDotsPerMm = 8;
inline constexpr int kDotsPerInch = 203;

struct TextStyle {
    bool fontB = false;
    bool emphasized = false;
    bool doubleStrike = false;
    bool reverse = false;
    bool upsideDown = false;
    bool rotated = false; // ESC V: each character turned a quarter clockwise, its cell with it
    bool red = false; // ESC r: the second colour
    std::uint8_t underline = 0; // 0, 1 or 2 dots
    std::uint8_t width = 1; // character size multipliers, 1 to 8
    std::uint8_t height = 1;
    bool operator==(const TextStyle&) const = default;
};

// Characters drawn in cells of one size, left to right from (x, y), the top-left corner.
struct TextRun {
    int x = 0;
    int y = 0;
    int cellWidth = 0; // a character's advance, spacing and multiplier included
    int cellHeight = 0;
    TextStyle style;
    std::u32string characters;
    // Quarter turns clockwise of the whole run (page mode's directions); (x, y) is then the
    // top-left corner of the turned box.
    std::uint8_t quarterTurns = 0;
    int width() const { return cellWidth * static_cast<int>(characters.size()); }
};

// Dots of one colour (black), one byte a dot, row after row.
struct Bitmap {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;
    bool at(int column, int row) const { return dots[std::size_t(row) * width + column] != 0; }
};

struct Mark {
    enum class Kind { FullCut, PartialCut, DrawerPin2, DrawerPin5 };
    Kind kind;
    int y = 0;
};

struct Receipt {
    int paperWidth = 576; // printable dots across
    int height = 0; // dots of paper used
    std::vector<TextRun> texts;
    std::vector<Bitmap> bitmaps;
    std::vector<Mark> marks;
    std::vector<std::string> log; // one decoded command or styled text line a line
    std::vector<std::string> warnings; // what was refused or not understood, each once
    bool printedAnything() const { return !texts.empty() || !bitmaps.empty() || !marks.empty(); }
};

} // namespace emulator
