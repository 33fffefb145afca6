#pragma once
// What a technician can ask of a printer stopped by an error: recover and go on, recover after
// clearing the buffers, or only clear the buffers. A printer acts on them only while it is in an
// error that allows it; the status read afterwards tells whether it did.

#include <string>

namespace printer {

enum class RecoveryRequest { Recover, RecoverAndClear, ClearBuffers };

// DLE ENQ 1, DLE ENQ 2, DLE DC4 8 (10 14 08 01 03 14 01 06 02 08).
std::string recoveryBytes(RecoveryRequest request);
// "Recover", "Recover and clear", "Clear buffers".
const char* recoveryName(RecoveryRequest request);
// One sentence on what the request does.
const char* recoverySentence(RecoveryRequest request);

} // namespace printer
