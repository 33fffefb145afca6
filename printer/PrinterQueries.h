#pragma once
// Asking the printer over a two-way link: the real-time status queries (DLE EOT n) and the
// printer ID (GS I n), each with its own time limit. An answer that does not come in time is
// "no answer" and a byte with the wrong fixed bits is "not a status"; neither is ever read as
// a state.

#include "escpos/PrinterStatus.h"
#include "printer/PrinterLink.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace printer {

enum class Outcome { NoAnswer, NotStatus, Answered };

struct StatusReading {
    escpos::StatusQuery query = escpos::StatusQuery::Printer;
    Outcome outcome = Outcome::NoAnswer;
    std::uint8_t reply = 0; // the byte received (NotStatus, Answered)
    escpos::ConditionSet conditions; // Answered only
    friend bool operator==(const StatusReading&, const StatusReading&) = default;
};

struct IdReading {
    escpos::IdQuery query = escpos::IdQuery::Model;
    std::optional<std::uint8_t> reply; // nullopt: no answer
    friend bool operator==(const IdReading&, const IdReading&) = default;
};

// What one round of questions learnt.
struct PrinterReport {
    std::vector<StatusReading> status;
    std::vector<IdReading> ids;
    std::optional<LptKernelView> kernel;

    // The reading of `query`, nullptr when it was not asked.
    const StatusReading* reading(escpos::StatusQuery query) const;
    // The reading of the query whose reply carries `condition`, nullptr when not asked.
    const StatusReading* readingFor(escpos::Condition condition) const;
    // Whether a decoded reply reports `condition`; nullopt when its query got no usable answer.
    std::optional<bool> condition(escpos::Condition condition) const;
};

// The default wait for each answer.
inline constexpr std::chrono::milliseconds kDefaultAnswerLimit { 500 };

StatusReading askStatus(
    PrinterLink& link, escpos::StatusQuery query, std::chrono::milliseconds limit);
IdReading askId(PrinterLink& link, escpos::IdQuery query, std::chrono::milliseconds limit);

// Everything: DLE EOT 1 to 4, GS I 1 to 3, and the driver's view where the link has one.
PrinterReport queryFullStatus(PrinterLink& link, std::chrono::milliseconds limit);
// After a press: DLE EOT 1 (online) and 4 (paper).
PrinterReport queryPressStatus(PrinterLink& link, std::chrono::milliseconds limit);

} // namespace printer
