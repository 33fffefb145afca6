#pragma once
// --hex: every byte sent to and received from the printer, written as it passes, one row per
// command in the transcript form of the printer pane (time, direction, hex, text, command).

#include "diagnostics/Transcript.h"
#include "printer/PrinterLink.h"

#include <ostream>

namespace cli {

class HexTranscript {
public:
    explicit HexTranscript(std::ostream& out);

    void record(printer::Direction direction, std::string_view bytes, std::string_view note = {});
    // An observer for a printer link that records through this transcript.
    printer::TrafficObserver observer();

private:
    diagnostics::Transcript m_transcript;
    std::ostream& m_out;
};

} // namespace cli
