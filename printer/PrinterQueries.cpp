#include "printer/PrinterQueries.h"

#include <algorithm>
#include <array>

namespace printer {

using escpos::Condition;
using escpos::IdQuery;
using escpos::StatusQuery;

namespace {

// The limits of one round: the full limit until a question goes without a fitting answer.
class RoundLimits {
public:
    explicit RoundLimits(std::chrono::milliseconds limit)
        : m_limit(limit)
    {
    }
    std::chrono::milliseconds next() const
    {
        return m_silent ? std::min(m_limit, kAfterSilenceLimit) : m_limit;
    }
    void heard(bool answered) { m_silent = m_silent || !answered; }

private:
    std::chrono::milliseconds m_limit;
    bool m_silent = false;
};

// A round's totals, from the link that asked it.
void finish(PrinterReport& report, const PrinterLink& link)
{
    report.canAnswer = link.canAnswer();
    report.lateReplies = link.lateReplies();
    report.strayBytes = link.strayBytes();
}

std::optional<std::uint8_t> firstByte(const std::string& bytes)
{
    if (bytes.empty())
        return std::nullopt;
    return static_cast<std::uint8_t>(bytes[0]);
}

StatusQuery queryOf(Condition condition)
{
    // Built once: the lights ask for every condition after each question.
    static const auto queries = [] {
        std::array<StatusQuery, escpos::kConditionCount> table {};
        for (const auto query : escpos::kStatusQueries)
            for (const auto c : escpos::conditionsOf(query))
                table[static_cast<std::size_t>(c)] = query;
        return table;
    }();
    return queries[static_cast<std::size_t>(condition)];
}

} // namespace

const StatusReading* PrinterReport::reading(StatusQuery query) const
{
    const auto found = std::find_if(
        status.begin(), status.end(), [query](const StatusReading& r) { return r.query == query; });
    return found == status.end() ? nullptr : &*found;
}

const StatusReading* PrinterReport::readingFor(Condition condition) const
{
    return reading(queryOf(condition));
}

std::optional<bool> PrinterReport::condition(Condition condition) const
{
    const auto* r = readingFor(condition);
    if (!r || r->outcome != Outcome::Answered)
        return std::nullopt;
    return r->conditions.test(static_cast<std::size_t>(condition));
}

StatusReading askStatus(PrinterLink& link, StatusQuery query, std::chrono::milliseconds limit)
{
    StatusReading reading;
    reading.query = query;
    const auto reply = link.ask(escpos::statusQueryBytes(query), limit);
    if (const auto answer = reply.answer ? firstByte(*reply.answer) : std::nullopt) {
        reading.outcome = Outcome::Answered;
        reading.reply = *answer;
        reading.conditions = *escpos::decodeStatus(query, *answer);
    } else if (const auto unfit = firstByte(reply.unfit)) {
        reading.outcome = Outcome::NotStatus;
        reading.reply = *unfit;
    }
    return reading;
}

IdReading askId(PrinterLink& link, IdQuery query, std::chrono::milliseconds limit)
{
    const auto reply = link.ask(escpos::idQueryBytes(query), limit);
    IdReading reading { query, reply.answer ? firstByte(*reply.answer) : std::nullopt, {} };
    if (!reading.reply)
        reading.unfit = firstByte(reply.unfit);
    return reading;
}

PrinterReport queryFullStatus(PrinterLink& link, std::chrono::milliseconds limit)
{
    PrinterReport report;
    RoundLimits limits(limit);
    for (const auto query : escpos::kStatusQueries) {
        report.status.push_back(askStatus(link, query, limits.next()));
        limits.heard(report.status.back().outcome == Outcome::Answered);
    }
    for (const auto query : { IdQuery::Model, IdQuery::Type, IdQuery::Version }) {
        report.ids.push_back(askId(link, query, limits.next()));
        limits.heard(report.ids.back().reply.has_value());
    }
    report.kernel = link.kernelView();
    finish(report, link);
    return report;
}

PrinterReport queryDetails(PrinterLink& link, std::chrono::milliseconds limit)
{
    PrinterReport report;
    RoundLimits limits(limit);
    for (const auto query : { escpos::SensorQuery::Paper, escpos::SensorQuery::Drawer }) {
        const auto reply = link.ask(escpos::sensorQueryBytes(query), limits.next());
        report.sensors.push_back({ query, reply.answer ? firstByte(*reply.answer) : std::nullopt });
        limits.heard(report.sensors.back().reply.has_value());
    }
    for (const auto query : { IdQuery::Firmware, IdQuery::Maker, IdQuery::ModelName,
             IdQuery::SerialNumber, IdQuery::Fonts }) {
        const auto reply = link.ask(escpos::idQueryBytes(query), limits.next());
        TextReading reading { query, {} };
        // The answer is framed 5F text 00.
        if (reply.answer && reply.answer->size() >= 2)
            reading.text = reply.answer->substr(1, reply.answer->size() - 2);
        report.texts.push_back(std::move(reading));
        limits.heard(report.texts.back().text.has_value());
    }
    finish(report, link);
    return report;
}

PrinterReport queryPressStatus(PrinterLink& link, std::chrono::milliseconds limit)
{
    PrinterReport report;
    RoundLimits limits(limit);
    const auto ask = [&](StatusQuery query) {
        report.status.push_back(askStatus(link, query, limits.next()));
        limits.heard(report.status.back().outcome == Outcome::Answered);
    };
    ask(StatusQuery::Printer);
    ask(StatusQuery::PaperSensor);
    if (report.condition(Condition::Offline).value_or(false))
        ask(StatusQuery::OfflineCause);
    finish(report, link);
    return report;
}

} // namespace printer
