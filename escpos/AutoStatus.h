#pragma once
// Automatic status back (GS a n): the 4-byte message a printer sends unasked once it is enabled
// and whenever an enabled status changes. One table serves the virtual printer (encoding, and
// deciding which changes to report) and quillet-send (decoding), so the two agree on every bit.

#include "escpos/PrinterStatus.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace escpos {

// GS a n: which changes are reported; 0 turns the messages off.
enum AutoStatusBits : std::uint8_t {
    kAutoStatusDrawer = 0x01,
    kAutoStatusOnline = 0x02,
    kAutoStatusErrors = 0x04,
    kAutoStatusPaper = 0x08,
    kAutoStatusAll = 0x0F,
};
inline constexpr std::size_t kAutoStatusLength = 4;

// The command's bytes: 1D 61 n.
std::string autoStatusCommand(std::uint8_t bits);

// The message a printer whose set conditions are `state` sends.
std::string autoStatusMessage(const ConditionSet& state);
// Whether two messages differ in what the chosen bits report.
bool autoStatusDiffers(std::uint8_t bits, std::string_view before, std::string_view after);

// The first byte matches 0xx1xx00, the others have bits 4 and 7 clear: a DLE EOT reply (0xx1xx10)
// never starts a message.
bool startsAutoStatus(std::uint8_t byte);
bool continuesAutoStatus(std::uint8_t byte);

// The conditions a whole message reports, in the order of the message's bits.
std::vector<Condition> autoStatusConditions(std::string_view message);

} // namespace escpos
