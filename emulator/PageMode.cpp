#include "emulator/PageMode.h"

#include "emulator/Graphics.h"

#include <algorithm>

namespace emulator {

namespace {

// The longest page area a printer accepts, in dots, either way.
constexpr int kMaxPageLength = 1000 * kDotsPerMm;
constexpr int kDefaultPageLength = 1662;

// A box of the page (left to right, top down) on the page area turned by ESC T's direction:
// 1 runs bottom to top (a quarter turn anticlockwise), 2 right to left (a half turn), 3 top down
// (a quarter turn clockwise). Returns the box's top-left corner in the area.
struct Turned {
    int x, y;
};
Turned turn(int direction, int x, int y, int width, int height, int areaWidth, int areaHeight)
{
    switch (direction) {
    case 1:
        return { y, areaHeight - x - width };
    case 2:
        return { areaWidth - x - width, areaHeight - y - height };
    case 3:
        return { areaWidth - y - height, x };
    default:
        return { x, y };
    }
}

// Quarter turns clockwise of each direction.
int quarterTurns(int direction)
{
    static constexpr int kTurns[] = { 0, 3, 2, 1 };
    return kTurns[direction & 3];
}

} // namespace

PageMode::PageMode(int paperWidth)
    : m_paperWidth(paperWidth)
    , m_layout(kMaxPageLength)
{
}

void PageMode::enter(Alignment alignment, int lineSpacing)
{
    m_active = true;
    m_x = m_y = 0;
    m_width = m_paperWidth;
    m_height = kDefaultPageLength;
    m_direction = 0;
    m_layout = PaperLayout(kMaxPageLength);
    m_layout.setAlignment(alignment);
    m_layout.setLineSpacing(lineSpacing);
    resetLayout();
}

void PageMode::leave()
{
    m_active = false;
    clear();
}

void PageMode::setArea(int x, int y, int width, int height)
{
    m_x = std::clamp(x, 0, m_paperWidth - 1);
    m_y = std::clamp(y, 0, kMaxPageLength - 1);
    m_width = std::clamp(width, 1, m_paperWidth - m_x);
    m_height = std::clamp(height, 1, kMaxPageLength);
    resetLayout();
}

void PageMode::setDirection(int direction)
{
    m_direction = direction >= '0' ? (direction - '0') & 3 : direction & 3;
    resetLayout();
}

void PageMode::resetLayout()
{
    m_layout.setArea(0, alongWidth());
}

void PageMode::setVertical(int y)
{
    const int x = m_layout.position();
    if (!m_layout.lineEmpty())
        m_layout.printLine(0);
    m_layout.feed(std::max(0, y) - m_layout.height());
    m_layout.moveTo(x);
}

void PageMode::clear()
{
    m_layout.discardLine();
    m_layout.take();
    resetLayout();
}

void PageMode::printOnto(PaperLayout& paper)
{
    if (!m_layout.lineEmpty())
        m_layout.printLine(0);
    auto page = m_layout.take();
    resetLayout();
    const int turns = quarterTurns(m_direction);
    for (auto& run : page.texts) {
        const auto at
            = turn(m_direction, run.x, run.y, run.width(), run.cellHeight, m_width, m_height);
        run.x = m_x + at.x;
        run.y = m_y + at.y;
        run.quarterTurns = static_cast<std::uint8_t>(turns);
    }
    for (auto& bitmap : page.bitmaps) {
        const auto at
            = turn(m_direction, bitmap.x, bitmap.y, bitmap.width, bitmap.height, m_width, m_height);
        bitmap = turned(bitmap, turns);
        bitmap.x = m_x + at.x;
        bitmap.y = m_y + at.y;
    }
    paper.placePage(std::move(page.texts), std::move(page.bitmaps));
}

} // namespace emulator
