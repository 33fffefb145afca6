#pragma once
// Names the commands of a sent stream for the transcript, with the ESC/POS command table.

#include "diagnostics/Transcript.h"

namespace diagnostics {

// One piece per command ("GS V 66 0 partial cut after feed"), text runs named "text"; the
// lengths add up to the stream's length, a skipped oversized payload included in its command.
std::vector<NamedPiece> nameCommands(std::string_view bytes);

} // namespace diagnostics
