#pragma once

#include "emulator/CodePageDecoder.h"
#include "emulator/PaperLayout.h"
#include "emulator/PrintModes.h"
#include "emulator/Receipt.h"
#include "escpos/Command.h"

#include <functional>
#include <string>

namespace emulator {

inline constexpr int kPaper80mm = 576, kPaper58mm = 384;
// A receipt longer than this (2 m) is handed over and continued on the next.
inline constexpr int kMaxReceiptHeight = 2000 * kDotsPerMm;

// The printer's print engine: applies commands to its modes and to the paper, and hands over each
// receipt when it is cut (or ended from outside, after a pause). Every command is logged with the
// receipt; what the printer refuses or cannot understand is also reported as a warning.
class ReceiptBuilder {
public:
    using ReceiptSink = std::function<void(Receipt&&)>;
    using WarningSink = std::function<void(const std::string&)>;
    ReceiptBuilder(int paperWidth, ReceiptSink receipts, WarningSink warnings);

    // `reply` is what the printer answered to the command, logged with it.
    void apply(const escpos::Command& command, std::string_view reply = {});
    // Prints a line still waiting for its line feed and hands over the receipt, when anything was
    // printed.
    void endReceipt();
    // Something is on the paper (or waiting in the line) that no cut has ended yet.
    bool holdsPaper() const { return !m_paper.empty(); }

private:
    bool applyText(const escpos::Command& command);
    bool applyMode(const escpos::Command& command);
    bool applyMovement(const escpos::Command& command);
    bool applyGraphics(const escpos::Command& command);
    void printText(std::string_view bytes);
    void tab();
    void barcode(const escpos::Command& command);
    void twoDimensionalCode(const escpos::Command& command);
    void placeReadable(const std::string& text);
    void cut(Mark::Kind kind, int feed);
    void reset();
    void updateArea();
    void log(std::string line);
    void warn(const std::string& text);
    // Logs with the receipt and warns why something was not printed.
    void refuse(const std::string& reason);
    void flushTextLog();

    ReceiptSink m_receipts;
    WarningSink m_warnings;
    PaperLayout m_paper;
    PrintModes m_modes;
    CodePageDecoder m_decoder;
    std::string m_textLog; // consecutive text, logged as one line with its style
    std::string m_textLogStyle;
    int m_textLogPosition = 0; // dots from the start of the line where the text began
};

} // namespace emulator
