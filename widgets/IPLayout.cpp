#include "widgets/IPLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace widgets {

namespace {

// Font sizes beyond any real font are held here, so the arithmetic below cannot overflow.
constexpr long maxFontUnits = 100000;

int magnitude(long value)
{
    return static_cast<int>(std::min(std::labs(value), maxFontUnits));
}

// a * b / c rounded to the nearest integer, the usual font-unit conversion.
int mulDiv(int a, int b, int c)
{
    return c == 0 ? 0 : magnitude(std::lround(static_cast<double>(a) * b / c));
}

} // namespace

LayoutFontSize layoutFontSize(double pointSize, int pixelSize, int dpi)
{
    if (pixelSize > 0) {
        const int pixels = magnitude(pixelSize);
        return { mulDiv(pixels, 72, dpi), pixels };
    }
    const double size = std::isfinite(pointSize) ? std::min(std::fabs(pointSize), 1e9) : 0.0;
    const int points = magnitude(std::lround(size));
    return { points, mulDiv(points, dpi, 72) };
}

IPEditSize preferredIPEditSize(LayoutFontSize font)
{
    const int s = 3 * magnitude(font.points);
    return { 4 * s + 3 * (s / 9 + 1) + 4, magnitude(font.pixels) + 8 };
}

IPLayout computeIPLayout(int width, int height, LayoutFontSize font)
{
    IPLayout layout {};
    const int s = 3 * magnitude(font.points);
    const int g = s / 9 + 1;
    layout.fieldWidth = s;
    layout.gap = g;
    layout.left = (width - 4 * s - 3 * g - 4) / 2;
    layout.top = (height - magnitude(font.pixels) - 6) / 2 + 1;
    // A control lower than two pixels still gives its fields a size, never a negative one.
    const int fieldHeight = height > 2 ? height - 2 : 0;
    for (int i = 0; i < 4; ++i)
        layout.fields[i] = { layout.left + i * (s + g), layout.top, s, fieldHeight };
    for (int k = 0; k < 3; ++k)
        layout.dotX[k] = layout.left + s + k * (s + g);
    layout.dotY = layout.top + s / 3 - ipDotPointSize;
    return layout;
}

} // namespace widgets
