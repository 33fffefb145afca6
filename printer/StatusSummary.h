#pragma once
// A report in a few words for people: "printer online, paper OK", or what is wrong.

#include "printer/PrinterQueries.h"

#include <cstdint>
#include <string>

namespace printer {

// "not an ESC/POS status (0x41)": how a byte with the wrong fixed bits is shown.
std::string notStatusWords(std::uint8_t reply);

// The printer's state from the replies in the report: online or offline, the paper, then every
// other condition that is set, then the late replies and stray bytes. A question without a
// usable answer says so instead of guessing.
std::string statusSummary(const PrinterReport& report);

// "sent 4 bytes, " followed by the status summary.
std::string pressSummary(std::size_t bytesSent, const PrinterReport& report);

} // namespace printer
