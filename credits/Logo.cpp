#include "credits/Logo.h"

#include <cmath>

namespace credits {

namespace {

constexpr int logoWidth = 413;
constexpr int logoHeight = 38;

class Canvas {
public:
    explicit Canvas(LogoPicture& picture)
        : m_picture(picture)
    {
    }
    void ink(int x, int y)
    {
        if (x >= 0 && x < m_picture.width && y >= 0 && y < m_picture.height)
            m_picture.pixels[static_cast<std::size_t>(y * m_picture.width + x)] = 1;
    }
    void fill(int left, int top, int right, int bottom)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                ink(x, y);
    }

private:
    LogoPicture& m_picture;
};

void drawFrame(Canvas& canvas)
{
    canvas.fill(0, 0, logoWidth, 1);
    canvas.fill(0, logoHeight - 1, logoWidth, logoHeight);
    canvas.fill(0, 0, 1, logoHeight);
    canvas.fill(logoWidth - 1, 0, logoWidth, logoHeight);
}

// A feather along the diagonal from the nib (bottom left) to the tip, widest past its middle,
// with a notch cut into its edge now and then and the shaft drawn through it.
void drawQuill(Canvas& canvas)
{
    constexpr double nibX = 6, nibY = 34, tipX = 40, tipY = 4;
    constexpr double dx = tipX - nibX, dy = tipY - nibY;
    const double length = std::hypot(dx, dy);
    for (int y = 2; y < logoHeight - 2; ++y) {
        for (int x = 2; x < 46; ++x) {
            const double along = ((x - nibX) * dx + (y - nibY) * dy) / (length * length);
            const double across = ((x - nibX) * dy - (y - nibY) * dx) / length;
            if (along < 0 || along > 1)
                continue;
            const double halfWidth = along < 0.2 ? 0 : 7 * std::sin((along - 0.2) / 0.8 * M_PI);
            const bool notch = across > 0 && std::fmod(along * 60, 7) < 1;
            if ((std::abs(across) <= halfWidth && !notch) || std::abs(across) < 0.8)
                canvas.ink(x, y);
        }
    }
}

// Bars of one to three pixels with gaps of one to three, from a fixed pseudo-random sequence,
// over a zigzag edge like a receipt torn off the printer.
void drawBarcode(Canvas& canvas)
{
    constexpr int left = 56, right = logoWidth - 8, top = 6, bottom = 28;
    std::uint32_t state = 0x5EED1234u;
    const auto nextWidth = [&state] {
        state = state * 1103515245u + 12345u;
        return 1 + static_cast<int>((state >> 16) % 3);
    };
    canvas.fill(left, top, left + 2, bottom + 2);
    for (int x = left + 3; x < right - 3;) {
        const int bar = nextWidth();
        canvas.fill(x, top, x + bar, bottom);
        x += bar + nextWidth();
    }
    canvas.fill(right - 2, top, right, bottom + 2);
    for (int x = left; x < right; ++x)
        canvas.ink(x, 32 + std::abs(x % 6 - 3));
}

} // namespace

LogoPicture creditsLogo()
{
    LogoPicture picture;
    picture.width = logoWidth;
    picture.height = logoHeight;
    picture.pixels.assign(static_cast<std::size_t>(logoWidth * logoHeight), 0);
    picture.paperColour = 0xFFFFFF;
    picture.inkColour = 0x0000A0;
    Canvas canvas(picture);
    drawFrame(canvas);
    drawQuill(canvas);
    drawBarcode(canvas);
    return picture;
}

} // namespace credits
