#pragma once
// Runs bytes through the command splitter and the print engine, as a connection does, and keeps
// what comes out: the receipts (the last one ended as after a pause) and the warnings.

#include "emulator/ReceiptBuilder.h"
#include "escpos/CommandSplitter.h"

#include <string>
#include <string_view>
#include <vector>

struct Printed {
    std::vector<emulator::Receipt> receipts;
    std::vector<std::string> warnings;

    const emulator::Receipt& only() const { return receipts.at(0); }
};

inline Printed print(
    std::string_view bytes, int paperWidth = emulator::kPaper80mm, bool twoColour = false)
{
    Printed printed;
    emulator::ReceiptBuilder engine(paperWidth, [&](emulator::Receipt&& receipt) {
        printed.warnings.insert(
            printed.warnings.end(), receipt.warnings.begin(), receipt.warnings.end());
        printed.receipts.push_back(std::move(receipt));
    });
    engine.setTwoColour(twoColour);
    escpos::CommandSplitter splitter(
        [&](const escpos::Command& command) { engine.apply(command); });
    splitter.feed(bytes);
    splitter.finish();
    engine.endReceipt();
    const auto& unprinted = engine.unprintedWarnings();
    printed.warnings.insert(printed.warnings.end(), unprinted.begin(), unprinted.end());
    return printed;
}
