#include "emulator/ReceiptBuilder.h"

#include "emulator/NotDrawn.h"

#include <algorithm>

namespace emulator {

using escpos::control;
using escpos::esc;
using escpos::gs;

namespace {

// The log of commands that print nothing (a client that only asks for status) is carried to the
// next receipt; it stays bounded, and says what it left out.
constexpr std::size_t kMaxUnprintedLogLines = 10000;

bool bit0(std::uint8_t n)
{
    return n & 1;
}

} // namespace

bool printsOnPaper(const escpos::Command& command)
{
    using escpos::fs;
    if (command.kind == escpos::CommandKind::Text)
        return true;
    if (command.kind != escpos::CommandKind::Known)
        return false;
    switch (command.code) {
    case control('\n'):
    case control('\f'):
    case esc('d'):
    case esc('e'):
    case esc('J'):
    case esc('*'):
    case gs('v'):
    case gs('k'):
    case gs('('):
    case gs('8'):
    case gs('/'):
    case fs('p'):
        return true;
    default:
        return false;
    }
}

bool waitsForPrinter(const escpos::Command& command)
{
    const auto code = command.code;
    return printsOnPaper(command)
        || (command.kind == escpos::CommandKind::Known
            && (code == gs('V') || code == esc('i') || code == esc('m') || code == esc('p')));
}

namespace {

// Parameters that accept both 0-2 and the digits '0'-'2'.
int digitOrNumber(std::uint8_t n)
{
    return n >= '0' ? n - '0' : n;
}

} // namespace

ReceiptBuilder::ReceiptBuilder(int paperWidth, ReceiptSink receipts)
    : m_receipts(std::move(receipts))
    , m_paper(paperWidth)
    , m_page(paperWidth)
{
    reset();
}

void ReceiptBuilder::apply(const escpos::Command& command, std::string_view reply)
{
    using escpos::CommandKind;
    if (m_newJob)
        startNewJobsReceipt(command);
    if (command.kind == CommandKind::Text) {
        printText(command.bytes);
    } else {
        flushTextLog();
        noteAside(command, reply);
        if (const auto what = notDrawn(command, m_twoColour); !what.empty())
            noteNotDrawn(what);
        if (command.kind != CommandKind::Known)
            warn(m_paper.receipt().log.back());
        else if (!applyPageMode(command) && !applyText(command) && !applyMode(command)
            && !applyMovement(command))
            applyGraphics(command);
    }
    if (m_page.active() && m_page.vertical() > kMaxReceiptHeight) {
        log("the page is longer than 2 m: it is printed as it is");
        m_page.printOnto(m_paper);
    }
    if (m_paper.height() > kMaxReceiptHeight) {
        log("the receipt is longer than 2 m: it goes on in the next one");
        endReceipt();
    }
}

void ReceiptBuilder::endReceipt()
{
    flushTextLog();
    if (!m_paper.lineEmpty())
        m_paper.printLine(m_paper.lineSpacing());
    auto receipt = m_paper.take();
    m_jobLogStart = 0;
    if (receipt.printedAnything()) {
        m_receipts(std::move(receipt));
        return;
    }
    // Blank paper is not worth a receipt; what was logged goes with the next one.
    auto& log = m_paper.receipt().log;
    log = std::move(receipt.log);
    if (log.size() > kMaxUnprintedLogLines) {
        const auto dropped = log.size() - kMaxUnprintedLogLines / 2;
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(dropped));
        log.insert(log.begin(),
            std::to_string(dropped)
                + " earlier lines of commands that printed nothing are left out");
    }
    m_paper.receipt().warnings = std::move(receipt.warnings);
}

void ReceiptBuilder::noteAside(const escpos::Command& command, std::string_view reply)
{
    log(escpos::describeCommand(command)
        + (reply.empty() ? "" : ", answered " + escpos::hexBytes(reply)));
}

void ReceiptBuilder::startJob()
{
    m_newJob = true;
    m_jobLogStart = m_paper.receipt().log.size();
}

void ReceiptBuilder::endJob()
{
    flushTextLog();
    if (!m_paper.lineEmpty())
        m_paper.printLine(m_paper.lineSpacing());
    m_newJob = false;
}

// The first command of a new job that puts something on the paper or moves it ends the earlier
// job's receipt; the commands the new job sent before it (modes, a cut of the earlier paper) are
// logged where they acted. The new job's own log lines move with it.
void ReceiptBuilder::startNewJobsReceipt(const escpos::Command& command)
{
    if (!printsOnPaper(command))
        return;
    m_newJob = false;
    if (!holdsPaper())
        return;
    auto& log = m_paper.receipt().log;
    const auto from
        = log.begin() + static_cast<std::ptrdiff_t>(std::min(m_jobLogStart, log.size()));
    std::vector<std::string> jobLines(
        std::make_move_iterator(from), std::make_move_iterator(log.end()));
    log.erase(from, log.end());
    endReceipt();
    auto& fresh = m_paper.receipt().log;
    fresh.insert(fresh.end(), std::make_move_iterator(jobLines.begin()),
        std::make_move_iterator(jobLines.end()));
}

void ReceiptBuilder::printText(std::string_view bytes)
{
    const auto style = styleWords(m_modes.style, m_modes.alignment);
    if (style != m_textLogStyle)
        flushTextLog();
    m_textLogStyle = style;
    if (m_textLog.empty())
        m_textLogPosition = sheet().position();
    const int width = m_modes.cellWidth(), height = m_modes.cellHeight();
    for (const unsigned char byte : bytes) {
        const char32_t character = m_decoder.decode(byte);
        appendUtf8(m_textLog, character);
        sheet().addCharacter(character, m_modes.style, width, height);
    }
}

void ReceiptBuilder::flushTextLog()
{
    if (m_textLog.empty())
        return;
    log("text \"" + m_textLog + "\" " + m_textLogStyle + ", at "
        + std::to_string(m_textLogPosition));
    m_textLog.clear();
}

bool ReceiptBuilder::applyText(const escpos::Command& command)
{
    auto& style = m_modes.style;
    const auto n = command.at(2);
    switch (command.code) {
    case esc('!'):
        style.fontB = n & 0x01;
        style.emphasized = n & 0x08;
        style.height = n & 0x10 ? 2 : 1;
        style.width = n & 0x20 ? 2 : 1;
        style.underline = n & 0x80 ? 1 : 0;
        return true;
    case esc('E'):
        style.emphasized = bit0(n);
        return true;
    case esc('G'):
        style.doubleStrike = bit0(n);
        return true;
    case esc('-'):
        style.underline = static_cast<std::uint8_t>(std::clamp(digitOrNumber(n), 0, 2));
        return true;
    case esc('M'):
        style.fontB = bit0(n);
        return true;
    case gs('!'):
        style.width = static_cast<std::uint8_t>((n >> 4 & 7) + 1);
        style.height = static_cast<std::uint8_t>((n & 7) + 1);
        return true;
    case gs('B'):
        style.reverse = bit0(n);
        return true;
    case esc('{'):
        style.upsideDown = bit0(n);
        m_paper.setUpsideDown(style.upsideDown); // page mode turns its text with ESC T
        return true;
    case esc('V'):
        style.rotated = digitOrNumber(n) == 1 || digitOrNumber(n) == 2;
        return true;
    case esc('r'):
        style.red = m_twoColour && bit0(n);
        return true;
    case esc('t'):
        m_modes.codePage = n;
        if (!m_decoder.select(n))
            warn("code table " + std::to_string(n) + " is not known: PC437 is used");
        return true;
    case esc('R'):
        if (!m_decoder.selectInternational(n))
            warn("international character set " + std::to_string(n) + " is not known: USA is used");
        return true;
    default:
        return false;
    }
}

bool ReceiptBuilder::applyMode(const escpos::Command& command)
{
    const auto n = command.at(2);
    switch (command.code) {
    case esc('@'):
        m_paper.discardLine(); // ESC @ clears the print buffer, as printers do
        m_page.leave();
        reset();
        return true;
    case esc('a'):
        m_modes.alignment = static_cast<Alignment>(std::clamp(digitOrNumber(n), 0, 2));
        m_paper.setAlignment(m_modes.alignment);
        m_page.layout().setAlignment(m_modes.alignment);
        return true;
    case esc('2'):
    case esc('3'):
        m_modes.lineSpacing = command.code == esc('2') ? 30 : m_modes.along(n);
        m_paper.setLineSpacing(m_modes.lineSpacing);
        m_page.layout().setLineSpacing(m_modes.lineSpacing);
        return true;
    case esc(' '):
        m_modes.rightSpacing = m_modes.across(n);
        return true;
    case gs('L'):
        m_modes.leftMargin = m_modes.across(command.le16(2));
        updateArea();
        return true;
    case gs('W'):
        m_modes.printWidth = m_modes.across(command.le16(2));
        updateArea();
        return true;
    case gs('P'):
        // Settings made before keep their distances; 0 is the head's own pitch.
        m_modes.horizontalUnit = n ? n : kDotsPerInch;
        m_modes.verticalUnit = command.at(3) ? command.at(3) : kDotsPerInch;
        return true;
    case esc('D'):
        m_modes.tabColumns.clear();
        for (std::size_t i = 2; i + 1 < command.bytes.size(); ++i)
            m_modes.tabColumns.push_back(command.at(i));
        return true;
    default:
        return false;
    }
}

bool ReceiptBuilder::applyMovement(const escpos::Command& command)
{
    const auto n = command.at(2);
    switch (command.code) {
    case control('\n'):
        sheet().printLine(m_modes.lineSpacing);
        return true;
    case control('\f'):
        sheet().printLine(0);
        return true;
    case control('\x18'):
        sheet().discardLine();
        return true;
    case control('\t'):
        tab();
        return true;
    case esc('d'):
    case esc('J'):
        // As LF does for one line: the line is printed and the paper fed n lines (n dots) from
        // where the line began, never less than the line's own height.
        sheet().printLine(command.code == esc('d') ? n * m_modes.lineSpacing : m_modes.along(n));
        return true;
    case esc('e'):
        sheet().feedBack(n * m_modes.lineSpacing);
        return true;
    case esc('$'):
        sheet().moveTo(m_modes.across(command.le16(2)));
        return true;
    case esc('\\'):
        sheet().moveTo(
            sheet().position() + m_modes.across(static_cast<std::int16_t>(command.le16(2))));
        return true;
    default:
        return false;
    }
}

void ReceiptBuilder::tab()
{
    const int column = m_modes.cellWidth();
    for (const int stop : m_modes.tabColumns) {
        if (stop * column > sheet().position()) {
            sheet().moveTo(stop * column);
            return;
        }
    }
}

void ReceiptBuilder::reset()
{
    m_modes = PrintModes {};
    m_decoder.select(0);
    m_decoder.selectInternational(0);
    m_graphics.clearBuffer();
    m_codes.reset();
    m_paper.setAlignment(m_modes.alignment);
    m_paper.setLineSpacing(m_modes.lineSpacing);
    m_paper.setUpsideDown(false);
    updateArea();
}

void ReceiptBuilder::updateArea()
{
    const int paper = m_paper.receipt().paperWidth;
    m_paper.setArea(m_modes.leftMargin, m_modes.printWidth > 0 ? m_modes.printWidth : paper);
}

void ReceiptBuilder::log(std::string line)
{
    m_paper.receipt().log.push_back(std::move(line));
}

void ReceiptBuilder::refuse(const std::string& reason)
{
    log(reason);
    warn(reason);
}

// Said once a receipt: a receipt in which something was not drawn says so in its log.
void ReceiptBuilder::noteNotDrawn(const std::string& what)
{
    const auto& warnings = m_paper.receipt().warnings;
    if (std::find(warnings.begin(), warnings.end(), what) == warnings.end())
        refuse(what);
}

void ReceiptBuilder::warn(const std::string& text)
{
    auto& warnings = m_paper.receipt().warnings;
    if (std::find(warnings.begin(), warnings.end(), text) == warnings.end())
        warnings.push_back(text);
}

} // namespace emulator
