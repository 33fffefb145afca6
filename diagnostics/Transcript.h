#pragma once
// Every byte sent to and received from the printer, in order, with the time it passed and its
// direction, laid out in rows for a view: each row one ESC/POS command (or one piece of text or
// a reply) of at most kRowBytes bytes; a longer command continues on further rows. Received
// bytes carry a note on what they were ("reply to DLE EOT 1", "late reply to DLE EOT 1"); a
// failure shows as a row of its own without bytes. Sized for tens of megabytes: the bytes are
// kept once, the rows only point into them.

#include "printer/PrinterLink.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace diagnostics {

using printer::Direction;

// One piece of a sent stream as the command table names it; an empty name for plain text.
struct NamedPiece {
    std::size_t length = 0;
    std::string name;
};
// Splits a sent stream into commands; the lengths add up to the stream's length.
using CommandNamer = std::function<std::vector<NamedPiece>(std::string_view bytes)>;

class Transcript {
public:
    using Clock = std::chrono::system_clock;
    static constexpr std::size_t kRowBytes = 16;

    struct Row {
        Clock::time_point time;
        Direction direction;
        std::string_view bytes;
        // The command's name or the note on its first row, else empty; a row without bytes
        // is a note of its own.
        std::string_view name;
    };

    explicit Transcript(CommandNamer namer = {});

    // Records bytes that have just passed (or a note without bytes); returns how many rows they
    // added. A note names received bytes in place of a command name.
    std::size_t append(Direction direction, std::string_view bytes, std::string_view note = {},
        Clock::time_point time = Clock::now());
    void clear();

    std::size_t rowCount() const { return m_rows.size(); }
    Row row(std::size_t index) const;
    std::uint64_t byteCount() const { return m_bytes.size(); }

    // One line per row: time, direction, hex, printable text, command name.
    static std::string rowText(const Row& row);
    void writeText(std::ostream& out) const;
    // Exactly the bytes that were sent, in order (what a .bin file holds).
    void writeSentBytes(std::ostream& out) const;

private:
    struct StoredRow {
        std::uint64_t offset;
        std::uint32_t length;
        std::uint32_t record;
        std::int32_t name; // index into m_names, -1 for none
    };
    struct Record {
        Clock::time_point time;
        Direction direction;
        std::uint64_t offset;
        std::uint64_t length;
    };
    void addRows(std::uint64_t offset, std::size_t length, std::int32_t name);
    std::int32_t addName(std::string name);

    CommandNamer m_namer;
    std::string m_bytes;
    std::vector<Record> m_records;
    std::vector<StoredRow> m_rows;
    std::vector<std::string> m_names;
};

// Hex as "1D 56 42 00", printable text with "." for bytes that have no glyph.
std::string hexText(std::string_view bytes);
std::string printableText(std::string_view bytes);
// The time of a row as "13:45:07.123" (local time).
std::string timeText(Transcript::Clock::time_point time);
const char* directionText(Direction direction);

} // namespace diagnostics
