#pragma once

#include "emulator/CodePageDecoder.h"
#include "emulator/GraphicsMemory.h"
#include "emulator/PageMode.h"
#include "emulator/PaperLayout.h"
#include "emulator/PrintModes.h"
#include "emulator/Receipt.h"
#include "emulator/TwoDimensionalCodes.h"
#include "escpos/Command.h"

#include <functional>
#include <string>

namespace emulator {

inline constexpr int kPaper80mm = 576, kPaper58mm = 384;
// A receipt longer than this (2 m) is handed over and continued on the next.
inline constexpr int kMaxReceiptHeight = 2000 * kDotsPerMm;

// Commands that put something on the paper or move it: a new job's first one starts its receipt.
bool printsOnPaper(const escpos::Command& command);
// Commands a printer that cannot print holds back: those that print, cut or pulse the drawer.
// Settings and queries before them still take effect.
bool waitsForPrinter(const escpos::Command& command);

// The printer's print engine: applies commands to its modes and to the paper, and hands over each
// receipt when it is cut (or ended from outside, after a pause). Every command is logged with the
// receipt; what the printer refuses or cannot understand is also noted once among the receipt's
// warnings. Jobs never share a receipt: the first thing a new job prints starts a new one.
class ReceiptBuilder {
public:
    using ReceiptSink = std::function<void(Receipt&&)>;
    ReceiptBuilder(int paperWidth, ReceiptSink receipts);

    // `reply` is what the printer answered to the command, logged with it.
    void apply(const escpos::Command& command, std::string_view reply = {});
    // Prints a line still waiting for its line feed and hands over the receipt, when anything was
    // printed.
    void endReceipt();
    // Something is on the paper (or waiting in the line) that no cut has ended yet.
    bool holdsPaper() const { return !m_paper.empty(); }
    // Logs a real-time request of a connection that is not printing, beside the job that is.
    void noteAside(const escpos::Command& command, std::string_view reply);
    // A new job has the printer: what it prints goes on a receipt of its own.
    void startJob();
    // The job has ended: a line it left waiting for its line feed is printed on its paper, so the
    // next job can neither join nor clear it.
    void endJob();
    // Red (ESC r) is drawn in a second colour; otherwise it prints black, as on a one-colour head.
    void setTwoColour(bool on) { m_twoColour = on; }
    // Warnings of commands that printed nothing and so went with no receipt.
    const std::vector<std::string>& unprintedWarnings() { return m_paper.receipt().warnings; }

private:
    bool applyText(const escpos::Command& command);
    bool applyMode(const escpos::Command& command);
    bool applyMovement(const escpos::Command& command);
    bool applyGraphics(const escpos::Command& command);
    bool applyPageMode(const escpos::Command& command);
    // Where what is printed goes: the page in page mode, the paper otherwise.
    PaperLayout& sheet() { return m_page.active() ? m_page.layout() : m_paper; }
    void printText(std::string_view bytes);
    void tab();
    void image(const escpos::Command& command);
    void barcode(const escpos::Command& command);
    void twoDimensionalCode(const escpos::Command& command);
    // Prints what a graphics or 2D code command made, or logs why it did not.
    void printOutcome(GraphicsOutcome outcome);
    void finishLine();
    void placeReadable(const std::string& text);
    void cut(Mark::Kind kind, int feed);
    void reset();
    void updateArea();
    void log(std::string line);
    void warn(const std::string& text);
    void startNewJobsReceipt(const escpos::Command& command);
    // Logs with the receipt and warns why something was not printed.
    void refuse(const std::string& reason);
    void noteNotDrawn(const std::string& what);
    void flushTextLog();

    ReceiptSink m_receipts;
    PaperLayout m_paper;
    PageMode m_page;
    PrintModes m_modes;
    CodePageDecoder m_decoder;
    GraphicsMemory m_graphics;
    TwoDimensionalCodes m_codes;
    std::string m_textLog; // consecutive text, logged as one line with its style
    std::string m_textLogStyle;
    int m_textLogPosition = 0; // dots from the start of the line where the text began
    bool m_twoColour = false;
    bool m_newJob = false; // a job has started and printed nothing yet
    std::size_t m_jobLogStart = 0; // its first line in the log
};

} // namespace emulator
