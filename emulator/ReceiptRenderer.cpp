#include "emulator/ReceiptRenderer.h"

#include "emulator/PrintModes.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace emulator {

namespace {

constexpr QRgb kInk = qRgb(0, 0, 0);
constexpr QRgb kPaper = qRgb(255, 255, 255);
const QColor kCutColour(110, 110, 110);
const QColor kDrawerColour(200, 0, 0);

// Pixel sizes at which DejaVu Sans Mono advances 12 (font A) and 9 (font B) dots a character.
constexpr int kFontAPixels = 20, kFontBPixels = 15;

QFont cellFont(const TextStyle& style)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(style.fontB ? kFontBPixels : kFontAPixels);
    font.setBold(style.emphasized);
    return font;
}

void drawBitmap(QImage& image, const Bitmap& bitmap)
{
    for (int row = 0; row < bitmap.height; ++row) {
        const int y = kPaperMargin + bitmap.y + row;
        if (y < 0 || y >= image.height())
            continue;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* dots = bitmap.dots.data() + std::size_t(row) * bitmap.width;
        for (int column = 0; column < bitmap.width; ++column)
            if (dots[column])
                line[kPaperMargin + bitmap.x + column] = kInk;
    }
}

// Each character sits in its own cell, drawn at the unscaled size and stretched by the
// character size multipliers.
void drawText(QPainter& painter, const TextRun& run)
{
    const auto& style = run.style;
    const QRectF box(kPaperMargin + run.x, kPaperMargin + run.y, run.width(), run.cellHeight);
    painter.save();
    if (style.reverse)
        painter.fillRect(box, Qt::black);
    if (style.upsideDown) {
        painter.translate(box.center());
        painter.rotate(180);
        painter.translate(-box.center());
    }
    painter.translate(box.topLeft());
    painter.scale(style.width, style.height);
    painter.setFont(cellFont(style));
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

void drawMark(QPainter& painter, const Mark& mark, int width)
{
    const int y = kPaperMargin + mark.y;
    if (mark.kind == Mark::Kind::FullCut || mark.kind == Mark::Kind::PartialCut) {
        QPen pen(kCutColour, 2, mark.kind == Mark::Kind::FullCut ? Qt::SolidLine : Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(0, y, width, y);
        return;
    }
    painter.fillRect(QRect(4, y, kPaperMargin - 8, 16), kDrawerColour);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), -1));
    painter.drawText(QRect(4, y, kPaperMargin - 8, 16), Qt::AlignCenter,
        mark.kind == Mark::Kind::DrawerPin2 ? QStringLiteral("2") : QStringLiteral("5"));
}

} // namespace

QImage renderReceipt(const Receipt& receipt)
{
    const int width = receipt.paperWidth + 2 * kPaperMargin;
    QImage image(width, receipt.height + 2 * kPaperMargin, QImage::Format_RGB32);
    image.fill(kPaper);
    for (const auto& bitmap : receipt.bitmaps)
        drawBitmap(image, bitmap);
    QPainter painter(&image);
    for (const auto& run : receipt.texts)
        drawText(painter, run);
    for (const auto& mark : receipt.marks)
        drawMark(painter, mark, width);
    return image;
}

} // namespace emulator
