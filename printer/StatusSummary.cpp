#include "printer/StatusSummary.h"

#include <cstdio>
#include <vector>

namespace printer {

using escpos::Condition;
using escpos::StatusQuery;

namespace {

// Words for a reading that decoded to nothing usable; empty when it was answered.
std::string unusableWords(const StatusReading& reading, const char* subject)
{
    if (reading.outcome == Outcome::NoAnswer)
        return std::string(subject) + ": no answer";
    if (reading.outcome == Outcome::NotStatus)
        return std::string(subject) + ": " + notStatusWords(reading.reply);
    return {};
}

std::string printerWords(const PrinterReport& report)
{
    const auto* reading = report.reading(StatusQuery::Printer);
    if (!reading)
        return {};
    if (auto words = unusableWords(*reading, "printer"); !words.empty())
        return words;
    return report.condition(Condition::Offline).value_or(false) ? "printer offline"
                                                                : "printer online";
}

std::string paperWords(const PrinterReport& report)
{
    const auto* reading = report.reading(StatusQuery::PaperSensor);
    if (!reading)
        return {};
    if (auto words = unusableWords(*reading, "paper"); !words.empty())
        return words;
    if (report.condition(Condition::PaperEnd).value_or(false))
        return "paper end";
    if (report.condition(Condition::PaperNearEnd).value_or(false))
        return "paper near end";
    return "paper OK";
}

// "2 late replies", "1 stray byte"; empty for none.
std::string counted(std::size_t count, const char* one, const char* many)
{
    if (count == 0)
        return {};
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool shownAbove(Condition condition)
{
    return condition == Condition::Offline || condition == Condition::PaperEnd
        || condition == Condition::PaperNearEnd;
}

} // namespace

std::string notStatusWords(std::uint8_t reply)
{
    char text[48];
    std::snprintf(text, sizeof text, "not an ESC/POS status (0x%02X)", reply);
    return text;
}

std::string statusSummary(const PrinterReport& report)
{
    std::vector<std::string> parts { printerWords(report), paperWords(report) };
    for (std::size_t i = 0; i < escpos::kConditionCount; ++i) {
        const auto condition = static_cast<Condition>(i);
        if (!shownAbove(condition) && report.condition(condition).value_or(false))
            parts.emplace_back(escpos::conditionWords(condition));
    }
    // Replies after their limit say the limit is too short for this printer.
    parts.push_back(counted(report.lateReplies, "late reply", "late replies"));
    parts.push_back(counted(report.strayBytes, "stray byte", "stray bytes"));
    std::string summary;
    for (const auto& part : parts) {
        if (part.empty())
            continue;
        if (!summary.empty())
            summary += ", ";
        summary += part;
    }
    return summary;
}

std::string pressSummary(std::size_t bytesSent, const PrinterReport& report)
{
    const std::string sent
        = "sent " + std::to_string(bytesSent) + (bytesSent == 1 ? " byte" : " bytes");
    const std::string status = statusSummary(report);
    return status.empty() ? sent : sent + ", " + status;
}

} // namespace printer
