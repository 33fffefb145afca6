#include "escpos/Command.h"
#include "escpos/CommandTable.h"

#include <cstdio>

namespace escpos {

namespace {

// Text in double quotes; bytes that would not read as themselves are written \xNN.
std::string quoted(std::string_view bytes)
{
    std::string text = "\"";
    for (const unsigned char byte : bytes) {
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + '"';
}

std::string nameOf(const table::CommandRow& row, const Command& command)
{
    std::string name(row.name);
    if (row.nameBytes == 3 && command.bytes.size() >= 3) {
        const auto sub = command.at(2);
        name += ' ';
        if (sub > 0x20 && sub < 0x7F)
            name += static_cast<char>(sub);
        else
            name += std::to_string(sub);
    }
    return name;
}

std::string describeKnown(const table::CommandRow& row, const Command& command)
{
    std::string text = nameOf(row, command);
    const std::size_t end
        = std::min<std::size_t>(row.nameBytes + row.shownParams, command.bytes.size());
    for (std::size_t i = row.nameBytes; i < end; ++i)
        text += ' ' + std::to_string(command.at(i));
    for (const auto& words : { std::string(row.words), row.detail ? row.detail(command) : "" })
        if (!words.empty())
            text += ' ' + words;
    return text;
}

} // namespace

std::string hexBytes(std::string_view bytes)
{
    std::string text;
    for (const unsigned char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += digits;
    }
    return text;
}

std::string commandName(const Command& command)
{
    if (command.kind == CommandKind::Text)
        return "text";
    const auto* row = table::findCommand(command.code);
    if (!row || command.kind == CommandKind::Unknown)
        return hexBytes(command.bytes);
    return nameOf(*row, command);
}

std::string describeCommand(const Command& command)
{
    const auto* row = table::findCommand(command.code);
    switch (command.kind) {
    case CommandKind::Text:
        return "text " + quoted(command.bytes);
    case CommandKind::Known:
        return describeKnown(*row, command);
    case CommandKind::Unknown:
        return hexBytes(command.bytes) + " unknown command, skipped";
    case CommandKind::Truncated:
        return (row ? nameOf(*row, command) : hexBytes(command.bytes))
            + " truncated: the stream ended after " + std::to_string(command.bytes.size())
            + " bytes"
            + (command.missing ? ", " + std::to_string(command.missing) + " bytes missing" : "");
    case CommandKind::Oversized:
        return describeKnown(*row, command) + " refused: " + std::to_string(command.missing)
            + " bytes of data skipped";
    }
    return {};
}

} // namespace escpos
