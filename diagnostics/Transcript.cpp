#include "diagnostics/Transcript.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace diagnostics {

Transcript::Transcript(CommandNamer namer)
    : m_namer(std::move(namer))
{
}

std::size_t Transcript::append(
    Direction direction, std::string_view bytes, std::string_view note, Clock::time_point time)
{
    if (bytes.empty() && note.empty())
        return 0;
    const std::size_t before = m_rows.size();
    const std::uint64_t start = m_bytes.size();
    m_records.push_back({ time, direction, start, bytes.size() });
    m_bytes.append(bytes);
    if (!note.empty()) {
        const auto name = addName(std::string(note));
        if (bytes.empty())
            m_rows.push_back({ start, 0, static_cast<std::uint32_t>(m_records.size() - 1), name });
        addRows(start, bytes.size(), name);
    } else if (direction == Direction::Sent && m_namer) {
        std::uint64_t offset = start;
        for (auto& piece : m_namer(bytes)) {
            addRows(offset, piece.length, piece.name.empty() ? -1 : addName(std::move(piece.name)));
            offset += piece.length;
        }
        // Whatever the namer left out still shows.
        addRows(offset, static_cast<std::size_t>(m_bytes.size() - offset), -1);
    } else {
        addRows(start, bytes.size(), -1);
    }
    return m_rows.size() - before;
}

std::int32_t Transcript::addName(std::string name)
{
    m_names.push_back(std::move(name));
    return static_cast<std::int32_t>(m_names.size() - 1);
}

void Transcript::addRows(std::uint64_t offset, std::size_t length, std::int32_t name)
{
    const auto record = static_cast<std::uint32_t>(m_records.size() - 1);
    for (std::size_t done = 0; done < length; done += kRowBytes) {
        const auto size = static_cast<std::uint32_t>(std::min(kRowBytes, length - done));
        m_rows.push_back({ offset + done, size, record, done == 0 ? name : -1 });
    }
}

void Transcript::clear()
{
    // Swapping with empty containers gives the memory back, which clear() would keep.
    std::string().swap(m_bytes);
    std::vector<Record>().swap(m_records);
    std::vector<StoredRow>().swap(m_rows);
    std::vector<std::string>().swap(m_names);
}

Transcript::Row Transcript::row(std::size_t index) const
{
    const auto& stored = m_rows.at(index);
    const auto& record = m_records[stored.record];
    return { record.time, record.direction,
        std::string_view(m_bytes).substr(stored.offset, stored.length),
        stored.name < 0 ? std::string_view {} : std::string_view(m_names[stored.name]) };
}

std::string Transcript::rowText(const Row& row)
{
    std::string hex = hexText(row.bytes);
    hex.resize(kRowBytes * 3, ' ');
    std::string text = printableText(row.bytes);
    text.resize(kRowBytes, ' ');
    std::string line
        = timeText(row.time) + "  " + directionText(row.direction) + "  " + hex + " " + text;
    if (!row.name.empty())
        line += "  " + std::string(row.name);
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

void Transcript::writeText(std::ostream& out) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        out << rowText(row(i)) << '\n';
}

void Transcript::writeSentBytes(std::ostream& out) const
{
    for (const auto& record : m_records)
        if (record.direction == Direction::Sent)
            out.write(m_bytes.data() + record.offset, static_cast<std::streamsize>(record.length));
}

std::string hexText(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!hex.empty())
            hex += ' ';
        hex += digits[b >> 4];
        hex += digits[b & 0x0F];
    }
    return hex;
}

std::string printableText(std::string_view bytes)
{
    std::string text(bytes);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            c = '.';
    return text;
}

std::string timeText(Transcript::Clock::time_point time)
{
    const auto seconds = Transcript::Clock::to_time_t(time);
    const auto ms
        = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count()
        % 1000;
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
        local.tm_sec, static_cast<int>(ms));
    return text;
}

const char* directionText(Direction direction)
{
    return direction == Direction::Sent ? "sent" : "recv";
}

} // namespace diagnostics
