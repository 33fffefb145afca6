#include "diagnostics/LightStates.h"

#include "printer/StatusSummary.h"

#include <cstdio>

namespace diagnostics {

using escpos::Condition;
using printer::Outcome;

namespace {

// The conditions that have a light, in the order they show.
constexpr Condition kLitConditions[] = { Condition::CoverOpen, Condition::FeedButtonPressed,
    Condition::PaperNearEnd, Condition::PaperEnd, Condition::DrawerPin3High, Condition::CutterError,
    Condition::UnrecoverableError, Condition::AutoRecoverableError };

std::string hexByte(std::uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// Words for a question without a usable answer.
std::string unusable(const printer::StatusReading* reading)
{
    if (!reading)
        return "not asked";
    return reading->outcome == Outcome::NoAnswer ? "no answer"
                                                 : printer::notStatusWords(reading->reply);
}

LightState onlineLight(const printer::PrinterReport& report)
{
    const auto offline = report.condition(Condition::Offline);
    if (!offline)
        return { "online", Lamp::Grey,
            "online: " + unusable(report.reading(escpos::StatusQuery::Printer)) };
    return *offline ? LightState { "online", Lamp::Red, "offline" }
                    : LightState { "online", Lamp::Green, "online" };
}

LightState conditionLight(const printer::PrinterReport& report, Condition condition)
{
    const std::string key(escpos::conditionKey(condition));
    const std::string words(escpos::conditionWords(condition));
    const auto set = report.condition(condition);
    if (!set)
        return { key, Lamp::Grey, words + ": " + unusable(report.readingFor(condition)) };
    // The drawer's pin is a level, not a fault: both levels are normal.
    if (condition == Condition::DrawerPin3High)
        return { key, Lamp::Green, words + (*set ? ": yes" : ": no") };
    return { key, *set ? Lamp::Red : Lamp::Green, words + (*set ? ": yes" : ": no") };
}

LightState modelLight(const printer::PrinterReport& report)
{
    std::string words;
    for (const auto& id : report.ids) {
        if (!id.reply)
            continue;
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
    if (words.empty())
        return { "model", Lamp::Grey,
            report.ids.empty() ? "model: not asked" : "model: no answer" };
    return { "model", Lamp::Green, words };
}

LightState kernelLine(
    const std::string& key, const std::string& words, std::optional<bool> set, bool bad)
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

LightState outputLine(const char* key, bool on, const char* mode)
{
    std::string words = std::string(key) + (on ? ": on" : ": off");
    if (mode)
        words = std::string(key) + ": " + mode;
    return { key, on || mode ? Lamp::Green : Lamp::Grey, words };
}

} // namespace

std::vector<LightState> unaskedStatusLights()
{
    return statusLights({});
}

std::vector<LightState> statusLights(const printer::PrinterReport& report)
{
    std::vector<LightState> lights { onlineLight(report) };
    for (const auto condition : kLitConditions)
        lights.push_back(conditionLight(report, condition));
    lights.push_back(modelLight(report));
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

std::vector<LightState> closedPortLineLights()
{
    std::vector<LightState> lights;
    for (const char* key : { "CTS", "DSR", "DCD", "RI", "DTR", "RTS" })
        lights.push_back({ key, Lamp::Grey, std::string(key) + ": port closed" });
    return lights;
}

std::vector<LightState> lineLights(std::optional<cport::TLineSignals> inputs, OutputLines outputs)
{
    return { inputLine("CTS", inputs, cport::lsCTS), inputLine("DSR", inputs, cport::lsDSR),
        inputLine("DCD", inputs, cport::lsRLSD), inputLine("RI", inputs, cport::lsRing),
        outputLine("DTR", outputs.dtr == cport::dtrEnable,
            outputs.dtr == cport::dtrHandshake ? "handshake" : nullptr),
        outputLine("RTS", outputs.rts == cport::rtsEnable,
            outputs.rts == cport::rtsHandshake    ? "handshake"
                : outputs.rts == cport::rtsToggle ? "toggle"
                                                  : nullptr) };
}

} // namespace diagnostics
