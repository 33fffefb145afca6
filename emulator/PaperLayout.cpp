#include "emulator/PaperLayout.h"

#include <algorithm>

namespace emulator {

PaperLayout::PaperLayout(int paperWidth)
    : m_paperWidth(paperWidth)
    , m_areaWidth(paperWidth)
{
    m_receipt.paperWidth = paperWidth;
}

void PaperLayout::setArea(int leftMargin, int width)
{
    m_leftMargin = std::clamp(leftMargin, 0, m_paperWidth - 1);
    m_areaWidth = std::clamp(width, 1, m_paperWidth - m_leftMargin);
}

void PaperLayout::addCharacter(
    char32_t character, const TextStyle& style, int cellWidth, int cellHeight)
{
    if (m_x > 0 && m_x + cellWidth > m_areaWidth)
        printLine(m_lineSpacing);
    if (cellWidth > m_areaWidth)
        return; // a character wider than the whole line is not printed
    beginLineIfEmpty();
    auto* last = m_lineTexts.empty() ? nullptr : &m_lineTexts.back();
    if (!last || last->style != style || last->cellWidth != cellWidth
        || last->cellHeight != cellHeight || last->x + last->width() != m_x)
        last = &m_lineTexts.emplace_back(TextRun { m_x, 0, cellWidth, cellHeight, style, {} });
    last->characters += character;
    m_x += cellWidth;
    m_lineHeight = std::max(m_lineHeight, cellHeight);
    m_lineRight = std::max(m_lineRight, m_x);
}

void PaperLayout::addInline(Bitmap bitmap)
{
    if (m_x > 0 && m_x + bitmap.width > m_areaWidth)
        printLine(m_lineSpacing);
    beginLineIfEmpty();
    bitmap.x = m_x;
    m_x += bitmap.width;
    m_lineHeight = std::max(m_lineHeight, bitmap.height);
    m_lineRight = std::max(m_lineRight, m_x);
    m_lineBitmaps.push_back(std::move(bitmap));
}

void PaperLayout::beginLineIfEmpty()
{
    if (lineEmpty())
        m_lineUpsideDown = m_upsideDown;
}

void PaperLayout::moveTo(int x)
{
    m_x = std::clamp(x, 0, m_areaWidth);
}

int PaperLayout::alignedOffset(int contentWidth) const
{
    const int room = std::max(0, m_areaWidth - contentWidth);
    switch (m_alignment) {
    case Alignment::Center:
        return m_leftMargin + room / 2;
    case Alignment::Right:
        return m_leftMargin + room;
    case Alignment::Left:
        break;
    }
    return m_leftMargin;
}

// A line turned half round as a whole: what stood at its start stands at the area's far side,
// and what stood on its common bottom hangs from its top; each run and image is turned in place.
void PaperLayout::printLine(int advance)
{
    const int offset = alignedOffset(m_lineRight);
    const int farSide = 2 * m_leftMargin + m_areaWidth;
    const bool turned = m_lineUpsideDown;
    for (auto& run : m_lineTexts) {
        run.x += offset;
        run.style.upsideDown = turned;
        if (turned)
            run.x = farSide - run.x - run.width();
        run.y = turned ? m_y : m_y + m_lineHeight - run.cellHeight;
        m_receipt.texts.push_back(std::move(run));
    }
    for (auto& bitmap : m_lineBitmaps) {
        bitmap.x += offset;
        bitmap.y = m_y + m_lineHeight - bitmap.height;
        if (turned) {
            bitmap.x = farSide - bitmap.x - bitmap.width;
            bitmap.y = m_y;
            std::reverse(bitmap.dots.begin(), bitmap.dots.end()); // rows and columns both reversed
        }
        m_receipt.bitmaps.push_back(std::move(bitmap));
    }
    m_y += std::max(advance, m_lineHeight);
    discardLine();
}

void PaperLayout::feedBack(int dots)
{
    const int top = m_y;
    printLine(0);
    m_lowest = std::max(m_lowest, m_y);
    m_y = std::max(0, top - dots);
}

void PaperLayout::discardLine()
{
    m_lineTexts.clear();
    m_lineBitmaps.clear();
    m_x = m_lineHeight = m_lineRight = 0;
}

void PaperLayout::placeBlock(Bitmap bitmap)
{
    bitmap.x = alignedOffset(bitmap.width);
    bitmap.y = m_y;
    m_y += bitmap.height;
    m_receipt.bitmaps.push_back(std::move(bitmap));
}

void PaperLayout::placeTextLine(TextRun run)
{
    run.x = alignedOffset(run.width());
    run.y = m_y;
    m_y += run.cellHeight;
    m_receipt.texts.push_back(std::move(run));
}

namespace {

// The part of a bitmap on the paper: right of its left edge, left of `paperWidth`, below `top`.
Bitmap onPaper(const Bitmap& bitmap, int paperWidth, int top)
{
    const int left = std::max(0, bitmap.x), right = std::min(paperWidth, bitmap.x + bitmap.width);
    const int upper = std::max(top, bitmap.y), lower = bitmap.y + bitmap.height;
    Bitmap part;
    part.x = left;
    part.y = upper;
    part.width = std::max(0, right - left);
    part.height = std::max(0, lower - upper);
    part.dots.resize(std::size_t(part.width) * part.height);
    for (int row = 0; row < part.height; ++row)
        for (int column = 0; column < part.width; ++column)
            part.dots[std::size_t(row) * part.width + column]
                = bitmap.at(left - bitmap.x + column, upper - bitmap.y + row);
    return part;
}

} // namespace

void PaperLayout::placePage(std::vector<TextRun> texts, std::vector<Bitmap> bitmaps)
{
    int bottom = 0;
    for (auto& run : texts) {
        const bool across = run.quarterTurns % 2 == 0;
        bottom = std::max(bottom, run.y + (across ? run.cellHeight : run.width()));
        run.y += m_y;
        m_receipt.texts.push_back(std::move(run));
    }
    for (const auto& bitmap : bitmaps) {
        bottom = std::max(bottom, bitmap.y + bitmap.height);
        auto part = onPaper(bitmap, m_paperWidth, 0);
        part.y += m_y;
        if (part.width > 0 && part.height > 0)
            m_receipt.bitmaps.push_back(std::move(part));
    }
    m_y += bottom;
}

void PaperLayout::mark(Mark::Kind kind)
{
    m_receipt.marks.push_back({ kind, m_y });
}

Receipt PaperLayout::take()
{
    Receipt done = std::move(m_receipt);
    done.height = std::max(m_y, m_lowest);
    m_receipt = Receipt {};
    m_receipt.paperWidth = m_paperWidth;
    m_y = m_lowest = 0;
    return done;
}

} // namespace emulator
