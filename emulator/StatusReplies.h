#pragma once

#include "escpos/Command.h"
#include "escpos/PrinterStatus.h"

#include <optional>
#include <string>
#include <string_view>

namespace emulator {

// The conditions a comma-separated list of keys names ("paper-end,cover-open"); "" and "none"
// name none, as "ready" does. nullopt, with `error` naming the key, when a key is not known.
std::optional<escpos::ConditionSet> parseConditions(std::string_view list, std::string& error);

// What a printer in the set conditions also reports: paper end, an open cover or an error (of any
// kind, or named as such) take it offline, paper end stops printing, a cutter error is an error
// that occurred.
escpos::ConditionSet withImpliedConditions(escpos::ConditionSet conditions);

// The bytes a printer in `conditions` sends back for a command: DLE EOT 1-4, GS I, GS r and
// ESC v answer; every other command answers nothing (the empty string).
std::string statusReply(const escpos::Command& command, const escpos::ConditionSet& conditions);

// What the virtual printer says it is (GS I): invented values of our own.
inline constexpr std::uint8_t kModelId = 0x51, kTypeId = escpos::kTypeHasAutocutter,
                              kVersionId = 0x10;
inline constexpr std::string_view kFirmware = "1.0", kMaker = "Quillet",
                                  kModelName = "Quillet Virtual Printer",
                                  kSerialNumber = "QVP0000001";

} // namespace emulator
