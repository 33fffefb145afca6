#pragma once
// Words with every byte the printer sends back, so a technician never has to work out the bits:
// "0x16 = online, drawer pin 3 high".

#include "escpos/PrinterStatus.h"
#include "printer/PrinterQueries.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace diagnostics {

// One byte as the transcript and the lights write it: "0x16".
std::string hexByte(std::uint8_t byte);
// A DLE EOT reply: "0x16 = online, drawer pin 3 high", "0x12 = no error", "0x72 = paper end";
// "0x41 = not an ESC/POS status" for a byte with the wrong fixed bits.
std::string statusByteWords(escpos::StatusQuery query, std::uint8_t reply);
// A GS r reply: "0x0C = paper end" (paper sensor), "0x01 = drawer pin 3 high" (drawer).
std::string sensorByteWords(escpos::SensorQuery query, std::uint8_t reply);
// An automatic status message: "18 00 0C 00 = offline, paper end".
std::string autoStatusWords(std::string_view message);
// One line per question a report asked, in the order asked: "DLE EOT 1: 0x16 = online, drawer
// pin 3 high", "GS r 2: 0x00 = drawer pin 3 low", "GS I 65 (firmware): 1.0",
// "GS I 69 (fonts): no answer".
std::vector<std::string> replyLines(const printer::PrinterReport& report);

} // namespace diagnostics
