#include "emulator/StatusReplies.h"

namespace emulator {

using escpos::Condition;
using escpos::ConditionSet;

namespace {

bool has(const ConditionSet& set, Condition condition)
{
    return set.test(static_cast<std::size_t>(condition));
}

void add(ConditionSet& set, Condition condition)
{
    set.set(static_cast<std::size_t>(condition));
}

std::string textReply(std::string_view text)
{
    return '\x5F' + std::string(text) + '\0';
}

std::string printerId(std::uint8_t n)
{
    switch (n) {
    case 1:
    case 49:
        return std::string(1, static_cast<char>(kModelId));
    case 2:
    case 50:
        return std::string(1, static_cast<char>(kTypeId));
    case 3:
    case 51:
        return std::string(1, static_cast<char>(kVersionId));
    case 65:
        return textReply(kFirmware);
    case 66:
        return textReply(kMaker);
    case 67:
        return textReply(kModelName);
    case 68:
        return textReply(kSerialNumber);
    default:
        return {};
    }
}

// GS r 1 and ESC v: bits 0-1 paper near end, bits 2-3 paper end.
std::string paperSensor(const ConditionSet& conditions)
{
    const int byte = (has(conditions, Condition::PaperNearEnd) ? 0x03 : 0)
        | (has(conditions, Condition::PaperEnd) ? 0x0C : 0);
    return std::string(1, static_cast<char>(byte));
}

} // namespace

std::optional<ConditionSet> parseConditions(std::string_view list, std::string& error)
{
    ConditionSet conditions;
    if (list == "none" || list == "ready")
        return conditions;
    while (!list.empty()) {
        const auto comma = list.find(',');
        auto key = list.substr(0, comma);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        if (!key.empty()) {
            const auto condition = escpos::conditionFromKey(key);
            if (!condition) {
                error = "unknown printer condition \"" + std::string(key) + "\"";
                return std::nullopt;
            }
            add(conditions, *condition);
        }
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return conditions;
}

ConditionSet withImpliedConditions(ConditionSet conditions)
{
    const bool paperEnd = has(conditions, Condition::PaperEnd);
    const bool error = has(conditions, Condition::ErrorOccurred)
        || has(conditions, Condition::CutterError) || has(conditions, Condition::UnrecoverableError)
        || has(conditions, Condition::AutoRecoverableError)
        || has(conditions, Condition::RecoverableError);
    if (paperEnd)
        add(conditions, Condition::StoppedByPaperEnd);
    if (error)
        add(conditions, Condition::ErrorOccurred);
    if (paperEnd || error || has(conditions, Condition::CoverOpen))
        add(conditions, Condition::Offline);
    return conditions;
}

std::string statusReply(const escpos::Command& command, const ConditionSet& conditions)
{
    if (command.kind != escpos::CommandKind::Known)
        return {};
    const auto n = command.at(2);
    switch (command.code) {
    case escpos::dle('\x04'):
        if (n < 1 || n > 4)
            return {};
        return std::string(1,
            static_cast<char>(
                escpos::encodeStatus(static_cast<escpos::StatusQuery>(n), conditions)));
    case escpos::gs('I'):
        return printerId(n);
    case escpos::gs('r'):
        if (n == 1 || n == 49)
            return paperSensor(conditions);
        if (n == 2 || n == 50)
            return std::string(1, has(conditions, Condition::DrawerPin3High) ? '\x01' : '\x00');
        return {};
    case escpos::esc('v'):
        return paperSensor(conditions);
    default:
        return {};
    }
}

} // namespace emulator
