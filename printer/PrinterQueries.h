#pragma once
// Asking the printer over a two-way link: the real-time status queries (DLE EOT n) and the
// printer ID (GS I n), each with its own time limit. Only a reply that fits the question is its
// answer: one that does not come in time is "no answer", a byte with the wrong fixed bits
// "not a status", a late one a late reply; none is ever read as a state.

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
    // The byte received: the answer, or (NotStatus) the first byte that came instead.
    std::uint8_t reply = 0;
    escpos::ConditionSet conditions; // Answered only
    friend bool operator==(const StatusReading&, const StatusReading&) = default;
};

struct IdReading {
    escpos::IdQuery query = escpos::IdQuery::Model;
    std::optional<std::uint8_t> reply; // the answer; nullopt: no answer that fits
    std::optional<std::uint8_t> unfit; // without an answer: the first byte that came instead
    friend bool operator==(const IdReading&, const IdReading&) = default;
};

// GS r n: the paper sensor or the drawer connector; nullopt: no answer that fits.
struct SensorReading {
    escpos::SensorQuery query = escpos::SensorQuery::Paper;
    std::optional<std::uint8_t> reply;
    friend bool operator==(const SensorReading&, const SensorReading&) = default;
};

// GS I 65 to 69: the text between 5F and 00; nullopt: no answer that fits.
struct TextReading {
    escpos::IdQuery query = escpos::IdQuery::Firmware;
    std::optional<std::string> text;
    friend bool operator==(const TextReading&, const TextReading&) = default;
};

// What one round of questions learnt.
struct PrinterReport {
    std::vector<StatusReading> status;
    std::vector<IdReading> ids;
    std::vector<SensorReading> sensors;
    std::vector<TextReading> texts;
    std::optional<LptKernelView> kernel;
    // False when nothing can come back on the connection (a FIFO): no question is answered.
    bool canAnswer = true;
    // Replies that came after their question's limit, and bytes that answered no question.
    std::size_t lateReplies = 0;
    std::size_t strayBytes = 0;

    // The reading of `query`, nullptr when it was not asked.
    const StatusReading* reading(escpos::StatusQuery query) const;
    // The reading of the query whose reply carries `condition`, nullptr when not asked.
    const StatusReading* readingFor(escpos::Condition condition) const;
    // Whether a decoded reply reports `condition`; nullopt when its query got no usable answer.
    std::optional<bool> condition(escpos::Condition condition) const;
};

// The default wait for each answer.
inline constexpr std::chrono::milliseconds kDefaultAnswerLimit { 500 };
// The wait for each later question of a round once one got no answer that fits: a silent
// printer costs one limit, not one per question.
inline constexpr std::chrono::milliseconds kAfterSilenceLimit { 100 };

StatusReading askStatus(
    PrinterLink& link, escpos::StatusQuery query, std::chrono::milliseconds limit);
IdReading askId(PrinterLink& link, escpos::IdQuery query, std::chrono::milliseconds limit);

// Everything: DLE EOT 1 to 4, GS I 1 to 3, and the driver's view where the link has one. After
// a question without a fitting answer the rest wait at most kAfterSilenceLimit each.
PrinterReport queryFullStatus(PrinterLink& link, std::chrono::milliseconds limit);
// The sensors and the printer's own words: GS r 1 and 2, GS I 65 to 69 (firmware, maker, model,
// serial number, fonts), with the same shortening. Printers that process them in turn with the
// data may take a while: they are asked on request only.
PrinterReport queryDetails(PrinterLink& link, std::chrono::milliseconds limit);
// After a press: DLE EOT 1 (online) and 4 (paper), and DLE EOT 2 (why) when it is offline, with
// the same shortening.
PrinterReport queryPressStatus(PrinterLink& link, std::chrono::milliseconds limit);

} // namespace printer
