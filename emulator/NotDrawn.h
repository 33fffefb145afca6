#pragma once

#include "escpos/Command.h"

#include <string>

namespace emulator {

// What a command asks of the paper that the virtual printer does not draw, as one line for the
// receipt's log and warnings ("90-degree rotation (ESC V) is not drawn"), or an empty string.
std::string notDrawn(const escpos::Command& command);

// Everything the virtual printer does not draw, a line each, for its --help.
std::string notDrawnList();

} // namespace emulator
