// The print engine's images, barcodes, QR codes, cuts and drawer pulses.
#include "emulator/Barcodes.h"
#include "emulator/ReceiptBuilder.h"

#include <algorithm>

namespace emulator {

using escpos::esc;
using escpos::gs;

namespace {

Mark::Kind cutKind(std::uint8_t m)
{
    const bool full = m == 0 || m == 48 || m == 65 || m == 97 || m == 103;
    return full ? Mark::Kind::FullCut : Mark::Kind::PartialCut;
}

} // namespace

bool ReceiptBuilder::applyGraphics(const escpos::Command& command)
{
    const auto n = command.at(2);
    switch (command.code) {
    case gs('v'):
    case esc('*'):
        image(command);
        return true;
    case gs('k'):
        barcode(command);
        return true;
    case gs('('):
        twoDimensionalCode(command);
        return true;
    case gs('8'):
        if (command.at(2) == 'L')
            printOutcome(m_graphics.apply(command, sheet().areaWidth()));
        return true;
    case gs('h'):
        m_modes.barcodeHeight = std::max<int>(1, n);
        return true;
    case gs('w'):
        m_modes.barcodeModule = std::clamp<int>(n, 1, 6);
        return true;
    case gs('H'):
        m_modes.readablePosition = n & 0x03;
        return true;
    case gs('f'):
        m_modes.readableFontB = n & 1;
        return true;
    case gs('V'):
        // The forms with n feed n dots (past the cutting position) before they cut.
        cut(cutKind(n), command.bytes.size() > 3 ? command.at(3) : 0);
        return true;
    case esc('i'):
    case esc('m'):
        cut(Mark::Kind::PartialCut, 0);
        return true;
    case esc('p'):
        m_paper.mark(n == 1 || n == '1' ? Mark::Kind::DrawerPin5 : Mark::Kind::DrawerPin2);
        return true;
    default:
        return false;
    }
}

void ReceiptBuilder::image(const escpos::Command& command)
{
    const bool raster = command.code == gs('v');
    auto result = raster ? rasterImage(command, sheet().areaWidth())
                         : bitImage(command, sheet().areaWidth());
    if (!result.refusal.empty())
        return refuse(result.refusal);
    if (!result.note.empty())
        refuse(result.note); // printed, but not all of it: said in the log and the warnings
    if (raster)
        sheet().placeBlock(std::move(result.bitmap));
    else
        sheet().addInline(std::move(result.bitmap));
}

void ReceiptBuilder::barcode(const escpos::Command& command)
{
    const auto type = command.at(2);
    // Types 0-6 end at a zero byte; 65 and above carry their length before the data.
    const auto data
        = type < 65 ? command.bytes.substr(3, command.bytes.size() - 4) : command.bytes.substr(4);
    std::string readable;
    auto result = linearBarcode(
        type, data, m_modes.barcodeModule, m_modes.barcodeHeight, sheet().areaWidth(), readable);
    if (!result.refusal.empty())
        return refuse(result.refusal);
    finishLine();
    if (m_modes.readablePosition & 1)
        placeReadable(readable);
    sheet().placeBlock(std::move(result.bitmap));
    if (m_modes.readablePosition & 2)
        placeReadable(readable);
}

void ReceiptBuilder::placeReadable(const std::string& text)
{
    TextRun run;
    run.style.fontB = m_modes.readableFontB;
    run.cellWidth = run.style.fontB ? kFontBWidth : kFontAWidth;
    run.cellHeight = run.style.fontB ? kFontBHeight : kFontAHeight;
    for (const unsigned char byte : text)
        run.characters += m_decoder.decode(byte);
    log("text \"" + text + "\" " + styleWords(run.style, m_modes.alignment) + ", readable text");
    sheet().placeTextLine(std::move(run));
}

void ReceiptBuilder::twoDimensionalCode(const escpos::Command& command)
{
    if (command.at(2) == 'L')
        printOutcome(m_graphics.apply(command, sheet().areaWidth()));
    else if (command.at(2) == 'k')
        printOutcome(m_codes.apply(command, sheet().areaWidth()));
}

// Blocks (barcodes, codes, graphics) print below the line gathered so far.
void ReceiptBuilder::finishLine()
{
    if (!sheet().lineEmpty())
        sheet().printLine(m_modes.lineSpacing);
}

void ReceiptBuilder::printOutcome(GraphicsOutcome outcome)
{
    if (!outcome.refusal.empty())
        return refuse(outcome.refusal);
    if (!outcome.note.empty())
        log(outcome.note);
    if (!outcome.print)
        return;
    finishLine();
    sheet().placeBlock(std::move(*outcome.print));
}

void ReceiptBuilder::cut(Mark::Kind kind, int feed)
{
    finishLine();
    m_paper.feed(feed);
    m_paper.mark(kind);
    flushTextLog();
    m_receipts(m_paper.take());
}

} // namespace emulator
