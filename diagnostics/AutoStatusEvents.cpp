#include "diagnostics/AutoStatusEvents.h"

#include "escpos/AutoStatus.h"

#include <ctime>

namespace diagnostics {

using escpos::Condition;

namespace {

escpos::ConditionSet conditionsOf(std::string_view message)
{
    escpos::ConditionSet set;
    for (const auto condition : escpos::autoStatusConditions(message))
        set.set(static_cast<std::size_t>(condition));
    return set;
}

// Words for a condition that has just ended.
std::string endedWords(Condition condition)
{
    switch (condition) {
    case Condition::Offline:
        return "online";
    case Condition::CoverOpen:
        return "cover closed";
    case Condition::DrawerPin3High:
        return "drawer pin 3 low";
    case Condition::PaperEnd:
        return "paper loaded";
    case Condition::PaperNearEnd:
        return "paper no longer near end";
    case Condition::PaperFedByButton:
        return "paper feed by the button ended";
    default:
        return std::string(escpos::conditionWords(condition)) + " cleared";
    }
}

// The conditions that take a printer offline.
bool takesOffline(Condition condition)
{
    return condition == Condition::CoverOpen || condition == Condition::PaperEnd
        || condition == Condition::RecoverableError || condition == Condition::CutterError
        || condition == Condition::UnrecoverableError
        || condition == Condition::AutoRecoverableError;
}

} // namespace

std::vector<std::string> autoStatusEvents(
    const std::optional<std::string>& before, std::string_view after)
{
    const auto now = conditionsOf(after);
    const auto earlier = before ? conditionsOf(*before) : escpos::ConditionSet();
    std::vector<Condition> changed;
    bool explained = false;
    for (std::size_t i = 0; i < escpos::kConditionCount; ++i) {
        if (now.test(i) == earlier.test(i))
            continue;
        changed.push_back(Condition(i));
        explained = explained || takesOffline(Condition(i));
    }
    std::vector<std::string> events;
    for (const auto condition : changed) {
        if (condition == Condition::Offline && explained)
            continue;
        events.push_back(now.test(static_cast<std::size_t>(condition))
                ? std::string(escpos::conditionWords(condition))
                : endedWords(condition));
    }
    // The first message reports a printer in good order too.
    if (!before && events.empty())
        events.emplace_back("online");
    return events;
}

printer::PrinterReport autoStatusReport(std::string_view message)
{
    const auto set = conditionsOf(message);
    printer::PrinterReport report;
    for (const auto query : escpos::kStatusQueries) {
        const auto reply = escpos::encodeStatus(query, set);
        report.status.push_back(
            { query, printer::Outcome::Answered, reply, *escpos::decodeStatus(query, reply) });
    }
    return report;
}

std::string eventLine(std::chrono::system_clock::time_point when, const std::string& event)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts {};
    ::localtime_r(&seconds, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &parts);
    return std::string(text) + " " + event;
}

} // namespace diagnostics
