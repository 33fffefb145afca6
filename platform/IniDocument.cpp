#include "platform/IniDocument.h"

#include "platform/AsciiCase.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// What one line of the file says.
struct LineMeaning {
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;
};

LineMeaning meaningOf(std::string_view line)
{
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == ';' || content.front() == '#')
        return {};
    if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close == std::string_view::npos)
            return {};
        return { LineMeaning::Section, trimmed(content.substr(1, close - 1)) };
    }
    const std::size_t equals = line.find('=');
    const std::string_view key
        = equals == std::string_view::npos ? std::string_view() : trimmed(line.substr(0, equals));
    if (key.empty())
        return {};
    return { LineMeaning::Entry, key };
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool hasOuterBlank(std::string_view text)
{
    return !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
}

} // namespace

IniDocument IniDocument::parse(std::string_view bytes)
{
    IniDocument document;
    if (bytes.substr(0, byteOrderMark.size()) == byteOrderMark) {
        document.m_byteOrderMark = byteOrderMark;
        bytes.remove_prefix(byteOrderMark.size());
    }
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        Line line;
        if (newline == std::string_view::npos) {
            line.text = bytes;
            bytes = {};
        } else {
            line.text = bytes.substr(0, newline);
            line.end = "\n";
            bytes.remove_prefix(newline + 1);
        }
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end.insert(0, "\r");
        }
        document.m_lines.push_back(std::move(line));
    }
    return document;
}

std::string IniDocument::text() const
{
    std::string bytes = m_byteOrderMark;
    for (const Line& line : m_lines)
        bytes += line.text + line.end;
    return bytes;
}

std::optional<IniDocument::Place> IniDocument::find(
    std::string_view section, std::string_view key) const
{
    // New keys go after the last key of the first section of that name; keys are looked up
    // in every section of that name, so a file with a repeated header still reads whole.
    std::optional<std::size_t> anchor;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const LineMeaning meaning = meaningOf(m_lines[i].text);
        if (meaning.kind == LineMeaning::Section) {
            inSection = equalIgnoringCase(meaning.name, section);
            inFirstSection = inSection && !anchor;
            if (inFirstSection)
                anchor = i;
        } else if (meaning.kind == LineMeaning::Entry && inSection) {
            if (equalIgnoringCase(meaning.name, key))
                return Place { i, true };
            if (inFirstSection)
                anchor = i;
        }
    }
    if (!anchor)
        return std::nullopt;
    return Place { *anchor, false };
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const auto place = find(section, key);
    if (!place || !place->keyFound)
        return std::nullopt;
    const std::string_view text = m_lines[place->line].text;
    return std::string(trimmed(text.substr(text.find('=') + 1)));
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string entry = std::string(key) + "=" + std::string(value);
    const auto place = find(section, key);
    if (place && place->keyFound) {
        std::string& text = m_lines[place->line].text;
        text.replace(text.find('=') + 1, std::string::npos, value);
    } else if (place) {
        insertLine(place->line + 1, entry);
    } else {
        const bool hasContent = std::any_of(m_lines.begin(), m_lines.end(),
            [](const Line& line) { return !trimmed(line.text).empty(); });
        if (hasContent)
            insertLine(m_lines.size(), "");
        insertLine(m_lines.size(), "[" + std::string(section) + "]");
        insertLine(m_lines.size(), entry);
    }
}

void IniDocument::insertLine(std::size_t index, std::string text)
{
    if (index > 0 && m_lines[index - 1].end.find('\n') == std::string::npos)
        m_lines[index - 1].end = newline();
    m_lines.insert(m_lines.begin() + std::ptrdiff_t(index), Line { std::move(text), newline() });
}

std::string IniDocument::newline() const
{
    // New lines follow the file's own line ends (a file edited on Windows keeps "\r\n").
    for (const Line& line : m_lines) {
        if (line.end == "\r\n")
            return line.end;
        if (line.end == "\n")
            break;
    }
    return "\n";
}

std::string iniWriteProblem(std::string_view section, std::string_view key, std::string_view value)
{
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos
        || hasOuterBlank(section))
        return "a section name cannot hold \"]\" or a line break, nor begin or end with a blank";
    if (key.empty() || hasLineBreak(key) || key.find('=') != std::string_view::npos
        || key.front() == ';' || key.front() == '#' || key.front() == '[' || hasOuterBlank(key))
        return "a key cannot be empty, hold \"=\" or a line break, begin with \";\", \"#\" or "
               "\"[\", nor begin or end with a blank";
    if (hasLineBreak(value) || hasOuterBlank(value))
        return "a value cannot hold a line break, nor begin or end with a blank";
    return {};
}

} // namespace platform
