#pragma once

#include "emulator/Receipt.h"

namespace emulator {

enum class Alignment { Left, Center, Right };

// Lays characters and images out on the paper as a printer does: characters gather in a line
// that is printed (aligned, bottoms level) when it is fed or full; images print at once.
class PaperLayout {
public:
    explicit PaperLayout(int paperWidth);

    // The printable area of the next line: left margin and width, kept inside the paper.
    void setArea(int leftMargin, int width);
    void setAlignment(Alignment alignment) { m_alignment = alignment; }
    void setLineSpacing(int dots) { m_lineSpacing = dots; }
    int lineSpacing() const { return m_lineSpacing; }
    // ESC {: the lines begun from now on print turned half round, as a whole; the paper still
    // passes the head in the same order, so the receipt reads right when it is turned round.
    void setUpsideDown(bool on) { m_upsideDown = on; }
    int areaWidth() const { return m_areaWidth; }
    int position() const { return m_x; }

    // Adds a character cell; a line that is full is printed first.
    void addCharacter(char32_t character, const TextStyle& style, int cellWidth, int cellHeight);
    // An image within the line (ESC *).
    void addInline(Bitmap bitmap);
    // Moves the position within the line, kept inside the area.
    void moveTo(int x);

    // Prints the gathered line and feeds at least `advance` dots (a line's height when taller).
    void printLine(int advance);
    bool lineEmpty() const { return m_lineTexts.empty() && m_lineBitmaps.empty(); }
    void discardLine();
    void feed(int dots) { m_y += dots; }
    // ESC e: prints the gathered line, then feeds the paper back `dots` from where the line began
    // (never above the receipt's top); what prints next may print over what is there.
    void feedBack(int dots);
    // Prints a block (image, barcode, QR code) at once, aligned in the area.
    void placeBlock(Bitmap bitmap);
    // Prints a run of text as one line of its own, aligned in the area (the text under a barcode).
    void placeTextLine(TextRun run);
    void mark(Mark::Kind kind);
    // Prints a page (page mode): its runs and bitmaps stand at x across the paper and y below the
    // current line; what lies outside the paper is cut off. The paper moves past the lowest.
    void placePage(std::vector<TextRun> texts, std::vector<Bitmap> bitmaps);

    int height() const { return m_y; }
    bool empty() const { return !m_receipt.printedAnything() && lineEmpty(); }
    Receipt& receipt() { return m_receipt; }
    // Hands the receipt over (the pending line stays) and starts on fresh paper.
    Receipt take();

private:
    int alignedOffset(int contentWidth) const;
    // A line takes the upside-down mode that holds when its first character or image comes.
    void beginLineIfEmpty();

    int m_paperWidth;
    int m_leftMargin = 0;
    int m_areaWidth;
    Alignment m_alignment = Alignment::Left;
    int m_lineSpacing = 30;
    bool m_upsideDown = false;
    bool m_lineUpsideDown = false;
    int m_x = 0;
    int m_y = 0;
    int m_lowest = 0; // the lowest the paper has been fed, when it was fed back since
    int m_lineHeight = 0;
    int m_lineRight = 0;
    std::vector<TextRun> m_lineTexts;
    std::vector<Bitmap> m_lineBitmaps;
    Receipt m_receipt;
};

} // namespace emulator
