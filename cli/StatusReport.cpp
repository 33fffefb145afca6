#include "cli/StatusReport.h"

#include "cli/ExitCode.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "diagnostics/LightStates.h"
#include "printer/StatusSummary.h"

#include <algorithm>
#include <vector>

namespace cli {

using escpos::Condition;
using printer::Outcome;

namespace {

// What keeps a receipt from being printed. A paper near its end, the drawer's pin and the
// feed button do not.
constexpr Condition kFaults[]
    = { Condition::Offline, Condition::CoverOpen, Condition::StoppedByPaperEnd,
          Condition::ErrorOccurred, Condition::RecoverableError, Condition::CutterError,
          Condition::UnrecoverableError, Condition::AutoRecoverableError, Condition::PaperEnd };

bool driverReportsFault(const printer::PrinterReport& report)
{
    if (!report.kernel || !report.kernel->lines)
        return false;
    return report.kernel->lines->paperOut || report.kernel->lines->error;
}

std::vector<diagnostics::LightState> lights(const printer::PrinterReport& report)
{
    auto all = diagnostics::statusLights(report);
    if (report.kernel) {
        const auto driver = diagnostics::kernelLights(*report.kernel);
        all.insert(all.end(), driver.begin(), driver.end());
    }
    return all;
}

const char* outcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Answered:
        return "answered";
    case Outcome::NotStatus:
        return "not a status";
    case Outcome::NoAnswer:
        break;
    }
    return "no answer";
}

const char* lampWord(diagnostics::Lamp lamp)
{
    switch (lamp) {
    case diagnostics::Lamp::Green:
        return "green";
    case diagnostics::Lamp::Red:
        return "red";
    case diagnostics::Lamp::Grey:
        break;
    }
    return "grey";
}

const char* idName(escpos::IdQuery query)
{
    switch (query) {
    case escpos::IdQuery::Model:
        return "model";
    case escpos::IdQuery::Type:
        return "type";
    default:
        return "version";
    }
}

// Joins `items` as the members of a JSON array or object.
std::string joined(const std::vector<std::string>& items, char open, char close)
{
    std::string text(1, open);
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? "," : "") + items[i];
    return text + close;
}

std::string queriesJson(const printer::PrinterReport& report)
{
    std::vector<std::string> items;
    for (const auto& reading : report.status) {
        std::string item = "{\"query\":\"DLE EOT " + std::to_string(int(reading.query))
            + "\",\"outcome\":\"" + outcomeWord(reading.outcome) + "\",\"reply\":";
        item += reading.outcome == Outcome::NoAnswer ? "null" : std::to_string(reading.reply);
        items.push_back(item + "}");
    }
    return joined(items, '[', ']');
}

std::string conditionsJson(const printer::PrinterReport& report)
{
    std::vector<std::string> items;
    for (std::size_t i = 0; i < escpos::kConditionCount; ++i) {
        const auto condition = static_cast<Condition>(i);
        items.push_back(jsonString(escpos::conditionKey(condition)) + ":"
            + jsonFlag(report.condition(condition)));
    }
    return joined(items, '{', '}');
}

std::string idsJson(const printer::PrinterReport& report)
{
    std::vector<std::string> items;
    for (const auto& id : report.ids)
        items.push_back(jsonString(idName(id.query)) + ":"
            + (id.reply ? std::to_string(*id.reply) : std::string("null")));
    return joined(items, '{', '}');
}

std::string driverJson(const std::optional<printer::LptKernelView>& kernel)
{
    if (!kernel)
        return "null";
    const auto& lines = kernel->lines;
    std::vector<std::string> items {
        "\"paper-out\":" + jsonFlag(lines ? std::optional(lines->paperOut) : std::nullopt),
        "\"selected\":" + jsonFlag(lines ? std::optional(lines->selected) : std::nullopt),
        "\"error\":" + jsonFlag(lines ? std::optional(lines->error) : std::nullopt),
    };
    std::string id = "null";
    if (const auto& deviceId = kernel->deviceId)
        id = "{\"maker\":" + jsonString(deviceId->maker)
            + ",\"model\":" + jsonString(deviceId->model)
            + ",\"command-set\":" + jsonString(deviceId->commandSet) + "}";
    items.push_back("\"device-id\":" + id);
    return joined(items, '{', '}');
}

std::string lightsJson(const printer::PrinterReport& report)
{
    std::vector<std::string> items;
    for (const auto& light : lights(report))
        items.push_back("{\"key\":" + jsonString(light.key) + ",\"lamp\":\"" + lampWord(light.lamp)
            + "\",\"words\":" + jsonString(light.words) + "}");
    return joined(items, '[', ']');
}

} // namespace

int statusExitCode(const printer::PrinterReport& report)
{
    const bool fault = std::any_of(std::begin(kFaults), std::end(kFaults),
        [&](Condition condition) { return report.condition(condition).value_or(false); });
    if (fault || driverReportsFault(report))
        return exitPrinterFault;
    const bool unanswered = report.status.empty()
        || std::any_of(report.status.begin(), report.status.end(),
            [](const printer::StatusReading& r) { return r.outcome != Outcome::Answered; });
    return unanswered ? exitNoAnswer : exitDone;
}

std::string statusText(const printer::PrinterReport& report)
{
    // A driver's light carries the printer's own device ID: shown printable, on one line.
    std::string text = printableText(printer::statusSummary(report)) + '\n';
    for (const auto& light : lights(report))
        text += printableText(light.words) + '\n';
    return text;
}

std::string statusJson(const printer::PrinterReport& report)
{
    const std::vector<std::string> members {
        "\"format\":" + std::to_string(kJsonFormat),
        "\"ready\":" + jsonFlag(statusExitCode(report) == exitDone),
        "\"summary\":" + jsonString(printer::statusSummary(report)),
        "\"queries\":" + queriesJson(report),
        "\"conditions\":" + conditionsJson(report),
        "\"printer-id\":" + idsJson(report),
        "\"driver\":" + driverJson(report.kernel),
        "\"lights\":" + lightsJson(report),
    };
    return joined(members, '{', '}') + '\n';
}

std::string failureJson(FailureKind kind, const std::string& message)
{
    const std::vector<std::string> members {
        "\"format\":" + std::to_string(kJsonFormat),
        "\"ready\":false",
        "\"kind\":" + jsonString(failureKindWord(kind)),
        "\"error\":" + jsonString(message),
    };
    return joined(members, '{', '}') + '\n';
}

} // namespace cli
