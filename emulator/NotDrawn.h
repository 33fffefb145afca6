#pragma once

#include "escpos/Command.h"

#include <string>

namespace emulator {

// What a command asks of the paper that the virtual printer does not draw, as one line for the
// receipt's log and warnings ("macros (GS :, GS ^) is not drawn"), or an empty string. Red (ESC r)
// is drawn when the printer has a second colour.
std::string notDrawn(const escpos::Command& command, bool twoColour = false);

// Everything the virtual printer does not draw, a line each, for its --help.
std::string notDrawnList();

} // namespace emulator
