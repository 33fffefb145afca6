#include "diagnostics/ByteWords.h"

#include "escpos/AutoStatus.h"
#include "escpos/Command.h"

#include <cstdio>

namespace diagnostics {

using escpos::Condition;
using escpos::StatusQuery;

namespace {

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

bool has(const escpos::ConditionSet& set, Condition condition)
{
    return set.test(static_cast<std::size_t>(condition));
}

// Words for the set conditions of a reply or message, with what a set without them means.
std::string conditionWords(const escpos::ConditionSet& set, const std::vector<Condition>& among)
{
    std::vector<std::string> parts;
    for (const auto condition : among)
        if (has(set, condition))
            parts.emplace_back(escpos::conditionWords(condition));
    return joined(parts);
}

const char* drawerLevel(bool high)
{
    return high ? "drawer pin 3 high" : "drawer pin 3 low";
}

// DLE EOT 1: the printer's state in full, online or offline and the drawer's level first.
std::string printerWords(const escpos::ConditionSet& set)
{
    std::vector<std::string> parts { has(set, Condition::Offline) ? "offline" : "online",
        drawerLevel(has(set, Condition::DrawerPin3High)) };
    for (const auto condition : { Condition::WaitingForRecovery, Condition::FeedButtonPressed })
        if (has(set, condition))
            parts.emplace_back(escpos::conditionWords(condition));
    return joined(parts);
}

const char* textName(escpos::IdQuery query)
{
    switch (query) {
    case escpos::IdQuery::Firmware:
        return "firmware";
    case escpos::IdQuery::Maker:
        return "maker";
    case escpos::IdQuery::ModelName:
        return "model";
    case escpos::IdQuery::SerialNumber:
        return "serial number";
    default:
        return "fonts";
    }
}

} // namespace

std::string statusByteWords(StatusQuery query, std::uint8_t reply)
{
    const auto set = escpos::decodeStatus(query, reply);
    if (!set)
        return hexByte(reply) + " = not an ESC/POS status";
    std::string words;
    if (query == StatusQuery::Printer)
        words = printerWords(*set);
    else
        words = conditionWords(*set, escpos::conditionsOf(query));
    if (words.empty())
        words = query == StatusQuery::OfflineCause ? "no offline cause"
            : query == StatusQuery::ErrorCause     ? "no error"
                                                   : "paper present";
    return hexByte(reply) + " = " + words;
}

std::string sensorByteWords(escpos::SensorQuery query, std::uint8_t reply)
{
    if (!escpos::fitsSensorByte(reply))
        return hexByte(reply) + " = not a GS r reply";
    if (query == escpos::SensorQuery::Drawer)
        return hexByte(reply) + " = " + drawerLevel(reply & 0x01);
    std::vector<std::string> parts;
    if (reply & 0x03)
        parts.emplace_back("paper near end");
    if (reply & 0x0C)
        parts.emplace_back("paper end");
    return hexByte(reply) + " = " + (parts.empty() ? "paper present" : joined(parts));
}

std::string autoStatusWords(std::string_view message)
{
    escpos::ConditionSet set;
    for (const auto condition : escpos::autoStatusConditions(message))
        set.set(static_cast<std::size_t>(condition));
    std::vector<std::string> parts { has(set, Condition::Offline) ? "offline" : "online" };
    for (std::size_t i = 0; i < escpos::kConditionCount; ++i)
        if (has(set, Condition(i)) && Condition(i) != Condition::Offline)
            parts.emplace_back(escpos::conditionWords(Condition(i)));
    return escpos::hexBytes(message) + " = " + joined(parts);
}

std::vector<std::string> replyLines(const printer::PrinterReport& report)
{
    std::vector<std::string> lines;
    const char* silent = report.canAnswer ? "no answer" : "this connection cannot answer";
    for (const auto& reading : report.status) {
        const std::string name = escpos::questionName(escpos::statusQueryBytes(reading.query));
        lines.push_back(name + ": "
            + (reading.outcome == printer::Outcome::NoAnswer
                    ? silent
                    : statusByteWords(reading.query, reading.reply)));
    }
    for (const auto& id : report.ids) {
        const std::string name = escpos::questionName(escpos::idQueryBytes(id.query));
        lines.push_back(name + ": " + (id.reply ? hexByte(*id.reply) : silent));
    }
    for (const auto& sensor : report.sensors) {
        const std::string name = escpos::questionName(escpos::sensorQueryBytes(sensor.query));
        lines.push_back(
            name + ": " + (sensor.reply ? sensorByteWords(sensor.query, *sensor.reply) : silent));
    }
    for (const auto& text : report.texts) {
        const std::string name = escpos::questionName(escpos::idQueryBytes(text.query));
        lines.push_back(name + " (" + textName(text.query) + "): " + text.text.value_or(silent));
    }
    return lines;
}

std::string hexByte(std::uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

} // namespace diagnostics
