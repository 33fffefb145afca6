#pragma once

#include "emulator/Endpoints.h"
#include "emulator/SerialLine.h"
#include "escpos/PrinterStatus.h"

#include <optional>
#include <string>
#include <vector>

namespace emulator {

// What quillet-virtual-printer is asked to do on its command line.
struct Options {
    std::optional<TcpAddress> tcp;
    std::string ptyName;
    std::string sysroot; // where --pty places its serial port entries; empty: none
    std::string fifoPath;
    std::string outFolder = "receipts";
    escpos::ConditionSet conditions;
    int pauseMs = 2000; // a receipt ends after this long without bytes; 0: only at a cut
    int paperWidth = 576;
    std::size_t bufferBytes = 4096; // each connection's receive buffer
    // The pty's line: its flow control, and the bytes a second its buffer is printed at (0: as
    // fast as they come). Modelled only when either is given.
    std::optional<FlowControl> flow;
    int drainRate = 0;
    bool twoColour = false; // red (ESC r) drawn red
    bool window = false;
    bool help = false;
};

// Throws std::invalid_argument with a message for the user on a bad command line.
Options parseOptions(const std::vector<std::string>& arguments);
std::string usageText();

} // namespace emulator
