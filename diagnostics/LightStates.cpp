#include "diagnostics/LightStates.h"

#include "diagnostics/ByteWords.h"
#include "printer/StatusSummary.h"

#include <array>

namespace diagnostics {

using escpos::Condition;
using printer::Outcome;

namespace {

// The conditions that have a light, in the order they show.
constexpr Condition kLitConditions[] = { Condition::CoverOpen, Condition::FeedButtonPressed,
    Condition::PaperNearEnd, Condition::PaperEnd, Condition::DrawerPin3High, Condition::CutterError,
    Condition::UnrecoverableError, Condition::AutoRecoverableError };

// Words for a question that went without an answer.
const char* silence(const printer::PrinterReport& report)
{
    return report.canAnswer ? "no answer" : "this connection cannot answer";
}

// Words for a question without a usable answer.
std::string unusable(const printer::PrinterReport& report, const printer::StatusReading* reading)
{
    if (!reading)
        return "not asked";
    return reading->outcome == Outcome::NoAnswer ? silence(report)
                                                 : printer::notStatusWords(reading->reply);
}

LightState onlineLight(const printer::PrinterReport& report)
{
    const auto offline = report.condition(Condition::Offline);
    if (!offline)
        return { "online", Lamp::Grey,
            "online: " + unusable(report, report.reading(escpos::StatusQuery::Printer)) };
    return *offline ? LightState { "online", Lamp::Red, "offline" }
                    : LightState { "online", Lamp::Green, "online" };
}

// The fixed words of a condition's light, made once (the lights are worked out again after
// every question): the reply said no or yes, the question got no answer, it was not asked.
enum class Said { No, Yes, NoAnswer, NotAsked };

const std::string& fixedWords(Condition condition, Said said)
{
    static const auto table = [] {
        std::array<std::array<std::string, 4>, escpos::kConditionCount> words;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string name(escpos::conditionWords(static_cast<Condition>(i)));
            words[i]
                = { name + ": no", name + ": yes", name + ": no answer", name + ": not asked" };
        }
        return words;
    }();
    return table[static_cast<std::size_t>(condition)][static_cast<std::size_t>(said)];
}

LightState conditionLight(const printer::PrinterReport& report, Condition condition)
{
    const auto key = escpos::conditionKey(condition);
    if (const auto set = report.condition(condition)) {
        // The drawer's pin is a level, not a fault: both levels are normal.
        const bool fault = *set && condition != Condition::DrawerPin3High;
        return { key, fault ? Lamp::Red : Lamp::Green,
            fixedWords(condition, *set ? Said::Yes : Said::No) };
    }
    const auto* reading = report.readingFor(condition);
    if (reading && reading->outcome == Outcome::NoAnswer && !report.canAnswer)
        return { key, Lamp::Grey,
            std::string(escpos::conditionWords(condition)) + ": " + silence(report) };
    if (!reading || reading->outcome == Outcome::NoAnswer)
        return { key, Lamp::Grey,
            fixedWords(condition, reading ? Said::NoAnswer : Said::NotAsked) };
    return { key, Lamp::Grey,
        std::string(escpos::conditionWords(condition)) + ": "
            + printer::notStatusWords(reading->reply) };
}

LightState modelLight(const printer::PrinterReport& report)
{
    std::string words;
    std::optional<std::uint8_t> unfit;
    for (const auto& id : report.ids) {
        if (!id.reply) {
            unfit = unfit ? unfit : id.unfit;
            continue;
        }
        if (!words.empty())
            words += ", ";
        switch (id.query) {
        case escpos::IdQuery::Model:
            words += "model " + hexByte(*id.reply);
            break;
        case escpos::IdQuery::Type:
            words += "type " + hexByte(*id.reply)
                + ((*id.reply & escpos::kTypeHasAutocutter) ? " (autocutter)" : " (no autocutter)");
            break;
        default:
            words += "firmware " + hexByte(*id.reply);
            break;
        }
    }
    if (!words.empty())
        return { "model", Lamp::Green, words };
    if (report.ids.empty())
        return { "model", Lamp::Grey, "model: not asked" };
    if (unfit)
        return { "model", Lamp::Grey, "model: not a printer ID (" + hexByte(*unfit) + ")" };
    return { "model", Lamp::Grey, std::string("model: ") + silence(report) };
}

// Whether the round asked the question behind the light at `index` of statusLights.
bool asked(const printer::PrinterReport& report, std::size_t index)
{
    if (index == 0)
        return report.reading(escpos::StatusQuery::Printer) != nullptr;
    if (index <= std::size(kLitConditions))
        return report.readingFor(kLitConditions[index - 1]) != nullptr;
    return !report.ids.empty();
}

LightState kernelLine(
    std::string_view key, const std::string& words, std::optional<bool> set, bool bad)
{
    if (!set)
        return { key, Lamp::Grey, words + ": not available" };
    return { key, *set == bad ? Lamp::Red : Lamp::Green, words + (*set ? ": yes" : ": no") };
}

LightState inputLine(
    const char* key, std::optional<cport::TLineSignals> inputs, cport::TLineSignal line)
{
    if (!inputs)
        return { key, Lamp::Grey, std::string(key) + ": not available" };
    const bool on = inputs->contains(line);
    return { key, on ? Lamp::Green : Lamp::Grey, std::string(key) + (on ? ": on" : ": off") };
}

LightState outputLine(const char* key, std::optional<bool> on, const char* mode)
{
    std::string words = std::string(key) + (!on ? ": unknown" : *on ? ": on" : ": off");
    if (mode)
        words += std::string(" (") + mode + ")";
    return { key, on.value_or(false) ? Lamp::Green : Lamp::Grey, words };
}

} // namespace

std::vector<LightState> unaskedStatusLights()
{
    return statusLights({});
}

std::vector<LightState> statusLights(const printer::PrinterReport& report)
{
    std::vector<LightState> lights;
    lights.reserve(std::size(kLitConditions) + 2);
    lights.push_back(onlineLight(report));
    for (const auto condition : kLitConditions)
        lights.push_back(conditionLight(report, condition));
    lights.push_back(modelLight(report));
    return lights;
}

std::vector<LightState> statusLights(const printer::PrinterReport& latest,
    const printer::PrinterReport& earlier, const std::string& asOf)
{
    auto lights = statusLights(latest);
    const auto older = statusLights(earlier);
    // Only what the latest round did not ask shows the earlier reading, aged.
    for (std::size_t i = 0; i < lights.size(); ++i)
        if (!asked(latest, i) && asked(earlier, i))
            lights[i] = { older[i].key, Lamp::Grey, older[i].words + " (as of " + asOf + ")" };
    return lights;
}

std::vector<LightState> kernelLights(const printer::LptKernelView& view)
{
    std::optional<bool> paperOut, selected, error;
    if (view.lines) {
        paperOut = view.lines->paperOut;
        selected = view.lines->selected;
        error = view.lines->error;
    }
    std::vector<LightState> lights { kernelLine(
                                         "lp-paper-out", "paper out (driver)", paperOut, true),
        kernelLine("lp-selected", "selected (driver)", selected, false),
        kernelLine("lp-error", "error (driver)", error, true) };
    if (view.deviceId)
        lights.push_back({ "device-id", Lamp::Green,
            "maker " + view.deviceId->maker + ", model " + view.deviceId->model + ", command set "
                + view.deviceId->commandSet });
    else
        lights.push_back({ "device-id", Lamp::Grey, "device ID: not available" });
    return lights;
}

std::vector<LightState> closedPortLineLights(bool deviceGone)
{
    std::vector<LightState> lights;
    for (const char* key : { "CTS", "DSR", "DCD", "RI", "DTR", "RTS" })
        lights.push_back({ key, Lamp::Grey,
            std::string(key) + (deviceGone ? ": port closed (device gone)" : ": port closed") });
    return lights;
}

std::vector<LightState> lineLights(std::optional<cport::TLineSignals> inputs, OutputLines outputs)
{
    return { inputLine("CTS", inputs, cport::lsCTS), inputLine("DSR", inputs, cport::lsDSR),
        inputLine("DCD", inputs, cport::lsRLSD), inputLine("RI", inputs, cport::lsRing),
        outputLine(
            "DTR", outputs.dtrOn, outputs.dtr == cport::dtrHandshake ? "handshake" : nullptr),
        outputLine("RTS", outputs.rtsOn,
            outputs.rts == cport::rtsHandshake    ? "handshake"
                : outputs.rts == cport::rtsToggle ? "toggle"
                                                  : nullptr) };
}

} // namespace diagnostics
