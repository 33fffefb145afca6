#pragma once
// Where the IP editor puts its four fields and paints its three dots. No Qt here, so the
// formula is tested directly.

#include <array>

namespace widgets {

// A font's size as the layout counts it: whole points and the em height in pixels.
struct LayoutFontSize {
    int points;
    int pixels;
};

// From a font given in pixels (pixelSize > 0) or else in points, at dpi dots per inch; the
// unused one is -1, as a font reports it.
LayoutFontSize layoutFontSize(double pointSize, int pixelSize, int dpi);

struct FieldRect {
    int x, y, width, height;
};

// The bounds of the four fields and the top-left corners of the three dots' text cells, all
// relative to the client area.
struct IPLayout {
    int fieldWidth; // s: three times the font's point size
    int gap; // g: the space between neighbouring fields
    int left;
    int top;
    std::array<FieldRect, 4> fields;
    std::array<int, 3> dotX;
    int dotY;
};

// The point size of the dots' font, whatever the control's font is.
constexpr int ipDotPointSize = 18;

// The layout for a control of outer size width x height with the given font.
IPLayout computeIPLayout(int width, int height, LayoutFontSize font);

// The outer size a layout manager should give the control: room for the four fields, their
// gaps and the four pixels the formula keeps, and the font's height with its margins.
struct IPEditSize {
    int width;
    int height;
};

IPEditSize preferredIPEditSize(LayoutFontSize font);

} // namespace widgets
