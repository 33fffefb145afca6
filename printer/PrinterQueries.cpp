#include "printer/PrinterQueries.h"

#include <algorithm>
#include <array>

namespace printer {

using escpos::Condition;
using escpos::IdQuery;
using escpos::StatusQuery;

namespace {

// The one byte that answers a question, after dropping what arrived unasked before it.
std::optional<std::uint8_t> askOneByte(
    PrinterLink& link, const std::string& question, std::chrono::milliseconds limit)
{
    link.discardPending();
    link.send(question);
    const std::string answer = link.receive(1, limit);
    if (answer.empty())
        return std::nullopt;
    return static_cast<std::uint8_t>(answer[0]);
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
    const auto reply = askOneByte(link, escpos::statusQueryBytes(query), limit);
    if (!reply)
        return reading;
    reading.reply = *reply;
    const auto decoded = escpos::decodeStatus(query, *reply);
    reading.outcome = decoded ? Outcome::Answered : Outcome::NotStatus;
    if (decoded)
        reading.conditions = *decoded;
    return reading;
}

IdReading askId(PrinterLink& link, IdQuery query, std::chrono::milliseconds limit)
{
    return { query, askOneByte(link, escpos::idQueryBytes(query), limit) };
}

PrinterReport queryFullStatus(PrinterLink& link, std::chrono::milliseconds limit)
{
    PrinterReport report;
    for (const auto query : escpos::kStatusQueries)
        report.status.push_back(askStatus(link, query, limit));
    for (const auto query : { IdQuery::Model, IdQuery::Type, IdQuery::Version })
        report.ids.push_back(askId(link, query, limit));
    report.kernel = link.kernelView();
    return report;
}

PrinterReport queryPressStatus(PrinterLink& link, std::chrono::milliseconds limit)
{
    PrinterReport report;
    for (const auto query : { StatusQuery::Printer, StatusQuery::PaperSensor })
        report.status.push_back(askStatus(link, query, limit));
    return report;
}

} // namespace printer
