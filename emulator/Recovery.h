#pragma once

#include "escpos/Command.h"
#include "escpos/PrinterStatus.h"

namespace emulator {

// What a recovery request does to a printer. Each acts only while a recoverable error holds:
// DLE ENQ 1 ends the error and printing goes on from where it stopped; DLE ENQ 2 ends it after
// clearing the receive buffers; DLE DC4 8 clears the buffers and leaves the error. Any other
// command, or one in another state, does nothing.
struct RecoveryEffect {
    bool clearBuffers = false;
    bool conditionsChanged = false;
};
RecoveryEffect applyRecovery(const escpos::Command& command, escpos::ConditionSet& conditions);

} // namespace emulator
