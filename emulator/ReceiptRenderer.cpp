#include "emulator/ReceiptRenderer.h"

#include "emulator/PrintModes.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <array>
#include <optional>

namespace emulator {

namespace {

constexpr uchar kInk = 0, kBlank = 255;

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
    const QFont& of(const TextStyle& style)
    {
        auto& face = m_faces[style.fontB * 2 + style.emphasized];
        if (!face)
            face = monospaced(style.fontB ? kFontBPixels : kFontAPixels, style.emphasized);
        return *face;
    }

private:
    std::array<std::optional<QFont>, 4> m_faces;
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
        for (int column = 0; column < bitmap.width; ++column)
            if (dots[column])
                line[column] = kInk;
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
    if (style.reverse)
        painter.fillRect(box, Qt::black);
    if (style.upsideDown) {
        painter.translate(box.center());
        painter.rotate(180);
        painter.translate(-box.center());
    }
    painter.scale(style.width, style.height);
    painter.setFont(faces.of(style));
    painter.setPen(style.reverse ? Qt::white : Qt::black);
    const double cell = double(run.cellWidth) / style.width;
    const double baseline = painter.fontMetrics().ascent();
    const auto text = QString::fromUcs4(run.characters.data(), qsizetype(run.characters.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QPointF at(i * cell, baseline);
        painter.drawText(at, QString(text[i]));
        if (style.doubleStrike)
            painter.drawText(at + QPointF(0.5, 0), QString(text[i]));
    }
    if (style.underline > 0) {
        const double height = double(run.cellHeight) / style.height;
        painter.fillRect(QRectF(0, height - style.underline, cell * text.size(), style.underline),
            style.reverse ? Qt::white : Qt::black);
    }
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

// One bit a dot: an eighth of the bytes to compress into the PNG.
QImage oneBitPerDot(const QImage& picture)
{
    QImage packed(picture.size(), QImage::Format_Mono);
    packed.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    const int width = picture.width(), height = picture.height();
    for (int y = 0; y < height; ++y) {
        const uchar* in = picture.constScanLine(y);
        uchar* out = packed.scanLine(y);
        for (int x = 0; x < width; x += 8) {
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
    return oneBitPerDot(image);
}

} // namespace emulator
