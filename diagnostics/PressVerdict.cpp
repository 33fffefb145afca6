#include "diagnostics/PressVerdict.h"

#include "escpos/AutoStatus.h"
#include "printer/StatusSummary.h"

#include <algorithm>

namespace diagnostics {

using escpos::Condition;

namespace {

bool toldDuringJob(const std::vector<std::string>& messages, Condition condition)
{
    return std::any_of(messages.begin(), messages.end(), [condition](const std::string& message) {
        const auto told = escpos::autoStatusConditions(message);
        return std::find(told.begin(), told.end(), condition) != told.end();
    });
}

bool reported(const printer::PrinterReport& report, Condition condition)
{
    return report.condition(condition).value_or(false);
}

} // namespace

std::string pressVerdict(
    const printer::PrinterReport& after, const std::vector<std::string>& messagesDuringJob)
{
    if (reported(after, Condition::PaperEnd) || reported(after, Condition::StoppedByPaperEnd)
        || toldDuringJob(messagesDuringJob, Condition::PaperEnd))
        return kPaperOutVerdict;
    if (reported(after, Condition::CoverOpen)
        || toldDuringJob(messagesDuringJob, Condition::CoverOpen))
        return kCoverOpenVerdict;
    const bool answered = !after.status.empty()
        && std::all_of(after.status.begin(), after.status.end(),
            [](const auto& reading) { return reading.outcome == printer::Outcome::Answered; });
    if (!answered)
        return kNoAnswerVerdict;
    if (!reported(after, Condition::Offline))
        return kPrintedVerdict;
    return "The printer took every byte but reports: " + printer::statusSummary(after);
}

} // namespace diagnostics
