#include "emulator/ReceiptRenderer.h"

#include "emulator/PrintModes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPen>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace emulator {

namespace {

// Grey levels of the picture while it is drawn: black, the second colour, the paper.
constexpr uchar kInk = 0, kRedInk = 128, kBlank = 255;

// Pixel sizes at which DejaVu Sans Mono advances 12 (font A) and 9 (font B) dots a character.
constexpr int kFontAPixels = 20, kFontBPixels = 15, kMarkPixels = 14;

QFont monospaced(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias); // a print head has dots, not shades
    return font;
}

// The four faces a receipt uses (font A or B, normal or emphasized), made once per picture.
class Faces {
public:
    const QFont& of(const TextStyle& style) { return face(style).font; }
    // The face's own glyphs, for drawing a run in one call.
    const QRawFont& raw(const TextStyle& style) { return face(style).raw; }

private:
    struct Face {
        QFont font;
        QRawFont raw;
    };
    Face& face(const TextStyle& style)
    {
        auto& face = m_faces[style.fontB * 2 + style.emphasized];
        if (!face) {
            auto font = monospaced(style.fontB ? kFontBPixels : kFontAPixels, style.emphasized);
            face = Face { font, QRawFont::fromFont(font) };
        }
        return *face;
    }
    std::array<std::optional<Face>, 4> m_faces;
};

void drawBitmap(QImage& image, const Bitmap& bitmap)
{
    const int left = kPaperMargin + bitmap.x;
    for (int row = 0; row < bitmap.height; ++row) {
        const int y = kPaperMargin + bitmap.y + row;
        if (y < 0 || y >= image.height())
            continue;
        uchar* line = image.scanLine(y) + left;
        const auto* dots = bitmap.dots.data() + std::size_t(row) * bitmap.width;
        // Ink is 0: a dot clears its pixel by a mask, with no branch, so the loop vectorises.
        static_assert(kInk == 0);
        for (int column = 0; column < bitmap.width; ++column)
            line[column] &= uchar(-int(dots[column] == 0));
    }
}

void drawCharacter(QPainter& painter, QPointF at, QChar character, bool doubleStrike)
{
    painter.drawText(at, QString(character));
    if (doubleStrike)
        painter.drawText(at + QPointF(0.5, 0), QString(character));
}

// The run's characters as one run of glyphs at their cells, when the face has every one of them
// (a character it lacks is drawn by drawText, which finds it in another font).
bool drawGlyphs(QPainter& painter, const QRawFont& face, const QString& text, double cell,
    double baseline, bool doubleStrike)
{
    QList<QPointF> positions;
    positions.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!face.supportsCharacter(text[i]))
            return false;
        positions.append(QPointF(i * cell, baseline));
    }
    QGlyphRun glyphs;
    glyphs.setRawFont(face);
    glyphs.setGlyphIndexes(face.glyphIndexesForString(text));
    glyphs.setPositions(positions);
    painter.drawGlyphRun(QPointF(0, 0), glyphs);
    if (doubleStrike)
        painter.drawGlyphRun(QPointF(0.5, 0), glyphs);
    return true;
}

void drawUpright(QPainter& painter, const QRawFont& face, const TextRun& run, const QString& text,
    const QColor& ink)
{
    const auto& style = run.style;
    painter.scale(style.width, style.height);
    const double cell = double(run.cellWidth) / style.width;
    const double baseline = painter.fontMetrics().ascent();
    if (!drawGlyphs(painter, face, text, cell, baseline, style.doubleStrike))
        for (qsizetype i = 0; i < text.size(); ++i)
            drawCharacter(painter, QPointF(i * cell, baseline), text[i], style.doubleStrike);
    if (style.underline > 0) {
        const double height = double(run.cellHeight) / style.height;
        painter.fillRect(
            QRectF(0, height - style.underline, cell * text.size(), style.underline), ink);
    }
}

// ESC V: each character and its cell turned a quarter clockwise, its top to the right; the
// multipliers stretch the upright character before it turns, and nothing is underlined, as on
// the printers.
void drawTurned(QPainter& painter, const TextRun& run, const QString& text)
{
    const auto& style = run.style;
    const double baseline = QFontMetricsF(painter.font()).ascent();
    for (qsizetype i = 0; i < text.size(); ++i) {
        painter.save();
        painter.translate((i + 1) * run.cellWidth, 0);
        painter.rotate(90);
        painter.scale(style.width, style.height);
        drawCharacter(painter, QPointF(0, baseline), text[i], style.doubleStrike);
        painter.restore();
    }
}

// Each character sits in its own cell, drawn at the unscaled size and stretched by the
// character size multipliers. A run turned by page mode is drawn in its own box, then turned.
void drawText(QPainter& painter, Faces& faces, const TextRun& run)
{
    const auto& style = run.style;
    const double runWidth = run.width(), runHeight = run.cellHeight;
    painter.save();
    painter.translate(kPaperMargin + run.x, kPaperMargin + run.y);
    switch (run.quarterTurns & 3) {
    case 1:
        painter.translate(runHeight, 0);
        break;
    case 2:
        painter.translate(runWidth, runHeight);
        break;
    case 3:
        painter.translate(0, runWidth);
        break;
    }
    painter.rotate(90.0 * (run.quarterTurns & 3));
    const QRectF box(0, 0, runWidth, runHeight);
    if (style.upsideDown) {
        painter.translate(box.center());
        painter.rotate(180);
        painter.translate(-box.center());
    }
    const QColor ink = style.red ? QColor(kRedInk, kRedInk, kRedInk) : QColor(Qt::black);
    if (style.reverse)
        painter.fillRect(box, ink);
    painter.setFont(faces.of(style));
    painter.setPen(style.reverse ? QColor(Qt::white) : ink);
    const auto text = QString::fromUcs4(run.characters.data(), qsizetype(run.characters.size()));
    if (style.rotated)
        drawTurned(painter, run, text);
    else
        drawUpright(painter, faces.raw(style), run, text, style.reverse ? QColor(Qt::white) : ink);
    painter.restore();
}

// A cut is a line across the paper, dashed when partial; a drawer pulse is a black tab in the
// left margin carrying the pin's number.
void drawMark(QPainter& painter, const Mark& mark, int width)
{
    const int y = kPaperMargin + mark.y;
    if (mark.kind == Mark::Kind::FullCut || mark.kind == Mark::Kind::PartialCut) {
        painter.setPen(
            QPen(Qt::black, 1, mark.kind == Mark::Kind::FullCut ? Qt::SolidLine : Qt::DashLine));
        painter.drawLine(0, y, width, y);
        return;
    }
    const QRect tab(4, y, kPaperMargin - 8, 16);
    painter.fillRect(tab, Qt::black);
    painter.setPen(Qt::white);
    painter.setFont(monospaced(kMarkPixels, true));
    painter.drawText(tab, Qt::AlignCenter,
        mark.kind == Mark::Kind::DrawerPin2 ? QStringLiteral("2") : QStringLiteral("5"));
}

// Three colours when red was printed: the paper, black and red.
QImage twoColours(const QImage& picture)
{
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    indexed.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(204, 0, 0) });
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* in = picture.constScanLine(y);
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < picture.width(); ++x)
            out[x] = in[x] < kRedInk / 2 ? 1 : in[x] < (kRedInk + kBlank) / 2 ? 2 : 0;
    }
    return indexed;
}

// One bit a dot: an eighth of the bytes to compress into the PNG.
QImage oneBitPerDot(const QImage& picture)
{
    QImage packed(picture.size(), QImage::Format_Mono);
    packed.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    const int width = picture.width(), height = picture.height();
    for (int y = 0; y < height; ++y) {
        const uchar* in = picture.constScanLine(y);
        uchar* out = packed.scanLine(y);
        static_assert(std::endian::native == std::endian::little, "the first dot is the low byte");
        int x = 0;
        // Eight dots at a time: the top bit of each grey byte is clear for ink; the multiply
        // gathers the eight flags into one byte, the first dot in its top bit (no carries: each
        // flag lands on a bit of its own).
        for (; x + 8 <= width; x += 8) {
            std::uint64_t grey;
            std::memcpy(&grey, in + x, sizeof grey);
            const std::uint64_t ink = (~grey >> 7) & 0x0101010101010101ULL;
            out[x / 8] = uchar((ink * 0x8040201008040201ULL) >> 56);
        }
        for (; x < width; x += 8) {
            uchar byte = 0;
            for (int bit = 0; bit < 8 && x + bit < width; ++bit)
                byte |= uchar(in[x + bit] < 128) << (7 - bit);
            out[x / 8] = byte;
        }
    }
    return packed;
}

} // namespace

QImage renderReceipt(const Receipt& receipt)
{
    const int width = receipt.paperWidth + 2 * kPaperMargin;
    QImage image(width, receipt.height + 2 * kPaperMargin, QImage::Format_Grayscale8);
    image.fill(kBlank);
    for (const auto& bitmap : receipt.bitmaps)
        drawBitmap(image, bitmap);
    QPainter painter(&image);
    Faces faces;
    for (const auto& run : receipt.texts)
        drawText(painter, faces, run);
    for (const auto& mark : receipt.marks)
        drawMark(painter, mark, width);
    painter.end();
    const bool red = std::any_of(receipt.texts.begin(), receipt.texts.end(),
        [](const TextRun& run) { return run.style.red; });
    return red ? twoColours(image) : oneBitPerDot(image);
}

} // namespace emulator
