#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One piece of an ESC/POS byte stream as the command splitter yields it: a run of text, a
// command of the command table, or a piece that is not a complete known command.
namespace escpos {

enum class CommandKind : std::uint8_t {
    Text, // printable bytes (0x20 and above) to be printed in the current code table
    Known, // a complete command of the table (control bytes such as LF included)
    Unknown, // a prefix and function the table does not know, or a command with broken data
    Truncated, // the stream ended inside a command
    Oversized, // a command whose data is too large to keep: its header only, the data skipped
};

// A command's identity: the prefix byte (ESC, GS, FS, DLE; 0 for control bytes) and the
// function byte after it.
using CommandCode = std::uint16_t;
constexpr CommandCode commandCode(std::uint8_t prefix, std::uint8_t function)
{
    return static_cast<CommandCode>(prefix << 8 | function);
}
constexpr CommandCode control(char c)
{
    return commandCode(0, static_cast<std::uint8_t>(c));
}
constexpr CommandCode esc(char c)
{
    return commandCode(0x1B, static_cast<std::uint8_t>(c));
}
constexpr CommandCode gs(char c)
{
    return commandCode(0x1D, static_cast<std::uint8_t>(c));
}
constexpr CommandCode fs(char c)
{
    return commandCode(0x1C, static_cast<std::uint8_t>(c));
}
constexpr CommandCode dle(char c)
{
    return commandCode(0x10, static_cast<std::uint8_t>(c));
}

// The longest command the splitter keeps whole; larger ones arrive as Oversized.
inline constexpr std::size_t kMaxCommandBytes = 4 * 1024 * 1024;

struct Command {
    CommandKind kind = CommandKind::Text;
    CommandCode code = 0; // 0 for text
    // The command's bytes, valid only during the call that delivers it. For Oversized, the
    // header that states the data length; for Truncated, what arrived.
    std::string_view bytes;
    // Oversized: the data bytes skipped; Truncated: the bytes that were still missing (0 when
    // the length itself never arrived).
    std::uint64_t missing = 0;

    // Byte i of the command, 0 past its end, so a parameter reader never reads outside.
    std::uint8_t at(std::size_t i) const
    {
        return i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
    }
    // The 16-bit little-endian number at byte i.
    std::uint16_t le16(std::size_t i) const
    {
        return static_cast<std::uint16_t>(at(i) | at(i + 1) << 8);
    }
};

// The command's name as manuals write it ("ESC @", "GS V", "GS ( k", "LF"); "text" for text;
// the bytes in hexadecimal for an unknown command.
std::string commandName(const Command& command);

// The name, the parameters in decimal and what the command does, as one line:
// "GS V 66 0 partial cut after feed", "ESC p 0 50 50 drawer pulse pin 2", text "Hello".
std::string describeCommand(const Command& command);

// Bytes in hexadecimal, two digits each, separated by spaces: "1B 40".
std::string hexBytes(std::string_view bytes);

} // namespace escpos
