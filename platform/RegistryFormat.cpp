#include "platform/RegistryFormat.h"

#include "platform/AsciiCase.h"
#include "platform/IntegerText.h"

#include <cstdio>
#include <optional>

namespace platform {

namespace {

constexpr std::string_view header = "REGEDIT4";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimTrailingBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads one line after another, with the line break (LF or CR LF) removed.
class LineReader {
public:
    explicit LineReader(std::string_view bytes)
        : m_rest(bytes)
    {
    }
    bool next(std::string_view& line)
    {
        if (m_done)
            return false;
        const std::size_t end = m_rest.find('\n');
        line = m_rest.substr(0, end);
        if (end == std::string_view::npos)
            m_done = true;
        else
            m_rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++m_number;
        return true;
    }
    int number() const { return m_number; }

private:
    std::string_view m_rest;
    int m_number = 0;
    bool m_done = false;
};

// A parse failure inside one line; the caller adds the line number.
struct LineFault {
    std::string reason;
};

// A quoted text starting at text[pos] == '"'; pos ends after the closing quote.
std::string parseQuoted(std::string_view text, std::size_t& pos)
{
    std::string result;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return result;
        }
        if (c == '\\') {
            if (++pos >= text.size())
                break;
            const char escaped = text[pos];
            if (escaped == '\\' || escaped == '"') {
                result += escaped;
            } else if (escaped == 'x' || escaped == 'X') {
                const int high = pos + 1 < text.size() ? hexDigitValue(text[pos + 1]) : -1;
                const int low = pos + 2 < text.size() ? hexDigitValue(text[pos + 2]) : -1;
                if (high < 0 || low < 0)
                    throw LineFault { "\\x must be followed by two hex digits" };
                result += static_cast<char>(high * 16 + low);
                pos += 2;
            } else {
                throw LineFault { "unknown escape in a quoted text" };
            }
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            throw LineFault { "control character in a quoted text" };
        result += c;
    }
    throw LineFault { "quoted text without its closing quote" };
}

RegistryValue parseData(std::string_view text)
{
    if (!text.empty() && text.front() == '"') {
        std::size_t pos = 0;
        std::string data = parseQuoted(text, pos);
        if (!trimTrailingBlanks(text.substr(pos)).empty())
            throw LineFault { "text after the value" };
        return RegistryValue::ofText(std::move(data));
    }
    constexpr std::string_view dwordPrefix = "dword:";
    if (!equalIgnoringCase(text.substr(0, dwordPrefix.size()), dwordPrefix))
        throw LineFault { "value is neither a quoted text nor dword:" };
    const std::string_view digits = trimTrailingBlanks(text.substr(dwordPrefix.size()));
    if (digits.empty() || digits.size() > 8)
        throw LineFault { "dword: needs 1 to 8 hex digits" };
    std::uint32_t number = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            throw LineFault { "dword: needs 1 to 8 hex digits" };
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return RegistryValue::ofNumber(number);
}

void parseValueLine(std::string_view line, RegistryKey& key)
{
    std::string name;
    std::size_t pos = 1;
    if (line.front() == '"') {
        pos = 0;
        name = parseQuoted(line, pos);
        if (name.size() > maxValueNameLength)
            throw LineFault { "value name too long" };
    }
    if (pos >= line.size() || line[pos] != '=')
        throw LineFault { "'=' expected after the value name" };
    key.setValue(name, parseData(line.substr(pos + 1)));
}

RegistryPath parseSectionHeader(std::string_view line)
{
    line = trimTrailingBlanks(line);
    if (line.size() < 2 || line.back() != ']')
        throw LineFault { "section header without its closing ']'" };
    std::string_view inner = line.substr(1, line.size() - 2);
    RegistryPath path;
    for (;;) {
        const std::size_t end = inner.find('\\');
        path.emplace_back(inner.substr(0, end));
        if (!isValidKeyName(path.back()))
            throw LineFault { "invalid key name in a section header" };
        if (path.size() > maxKeyDepth)
            throw LineFault { "keys nested too deeply" };
        if (end == std::string_view::npos)
            return path;
        inner.remove_prefix(end + 1);
    }
}

void appendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendKey(std::string& out, const RegistryKey& key, const std::string& path, bool isRoot)
{
    if (!isRoot || !key.values().empty() || key.subKeys().empty()) {
        out += "\n[" + path + "]\n";
        for (const auto& [folded, entry] : key.values()) {
            if (entry.name.empty())
                out += '@';
            else
                appendQuoted(out, entry.name);
            out += '=';
            if (entry.value.kind == RegistryValue::Kind::String) {
                appendQuoted(out, entry.value.text);
            } else {
                char number[16];
                std::snprintf(number, sizeof number, "dword:%08x", entry.value.number);
                out += number;
            }
            out += '\n';
        }
    }
    for (const auto& [folded, subKey] : key.subKeys())
        appendKey(out, *subKey, path + "\\" + subKey->name(), false);
}

} // namespace

std::variant<RegistryTree, RegistryParseError> parseRegistryFile(std::string_view bytes)
{
    RegistryTree tree;
    if (bytes.empty())
        return tree;
    LineReader lines(bytes);
    std::string_view line;
    lines.next(line);
    if (trimTrailingBlanks(line) != header)
        return RegistryParseError { 1, "the first line is not REGEDIT4" };
    RegistryKey* current = nullptr;
    try {
        while (lines.next(line)) {
            if (trimTrailingBlanks(line).empty())
                continue;
            if (line.front() == '[') {
                current = &tree.createKey(parseSectionHeader(line));
            } else if (line.front() == '"' || line.front() == '@') {
                if (!current)
                    throw LineFault { "value before the first section header" };
                parseValueLine(line, *current);
            } else {
                throw LineFault { "a line must be blank, a [section] or a value" };
            }
        }
    } catch (const LineFault& fault) {
        return RegistryParseError { lines.number(), fault.reason };
    }
    return tree;
}

std::string formatRegistryFile(const RegistryTree& tree)
{
    std::string out(header);
    out += '\n';
    for (const auto& [folded, root] : tree.top().subKeys())
        appendKey(out, *root, root->name(), true);
    return out;
}

} // namespace platform
