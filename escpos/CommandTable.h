#pragma once

#include "escpos/Command.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The command table: for each command its name, what it does, and how long it is. Used by the
// splitter (lengths) and the describer (names and words).
namespace escpos::table {

// How many bytes a command starting at p takes, as far as the `available` bytes at hand tell.
struct Extent {
    std::size_t need = 0; // while the total is unknown: the bytes needed to learn more
    std::uint64_t total = 0; // the whole command's length, 0 while unknown
    std::size_t header = 0; // the bytes that state the total (all of them when it has no data)
    bool broken = false; // the bytes can never form the command: `total` bytes are dropped
};
using ExtentRule = Extent (*)(const unsigned char* p, std::size_t available);

// Words a command's parameters add to its description ("pin 2", "576x200 dots"); may be empty.
using DetailRule = std::string (*)(const Command& command);

struct CommandRow {
    CommandCode code;
    std::string_view name; // "ESC @"; a third name byte (GS ( k) is taken from the command
    std::string_view words; // "initialize"
    ExtentRule extent;
    std::uint8_t nameBytes = 2; // 3 when the byte after the function names a sub-command
    std::uint8_t shownParams = 0; // parameter bytes after the name written in decimal
    DetailRule detail = nullptr;
};

// The row of a command, or nullptr when the table does not know it.
const CommandRow* findCommand(CommandCode code);

// True for the bytes that start a command of more than one byte (DLE, ESC, FS, GS).
constexpr bool isPrefix(unsigned char byte)
{
    return byte == 0x10 || byte == 0x1B || byte == 0x1C || byte == 0x1D;
}

} // namespace escpos::table
