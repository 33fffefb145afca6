#pragma once
// Names the ESC/POS commands in bytes sent to a printer, for the transcript's rows.

#include "diagnostics/Transcript.h"

#include <string_view>
#include <vector>

namespace cli {

// The bytes split by the command table, each command with its description ("GS V 66 0
// partial cut after feed"), text with no name. The lengths add up to the bytes' length.
std::vector<diagnostics::NamedPiece> nameCommands(std::string_view bytes);

} // namespace cli
