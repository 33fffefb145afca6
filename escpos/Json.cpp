#include "escpos/Json.h"

#include "escpos/Utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace escpos {

namespace {

constexpr int kDeepest
    = 64; // nesting beyond any profile, so hostile input cannot exhaust the stack

class Parser {
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {
    }
    JsonValue document()
    {
        JsonValue value = parseValue(0);
        skipSpace();
        if (m_at != m_text.size())
            fail("text after the end of the JSON value");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        int line = 1, column = 1;
        for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i, ++column)
            if (m_text[i] == '\n')
                line++, column = 0;
        throw JsonError(
            what + " at line " + std::to_string(line) + ", column " + std::to_string(column));
    }
    void skipSpace()
    {
        while (m_at < m_text.size()
            && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\n'
                || m_text[m_at] == '\r'))
            ++m_at;
    }
    bool take(char c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    void expect(char c)
    {
        if (!take(c))
            fail(std::string("expected '") + c + "'");
    }
    bool word(std::string_view w)
    {
        if (m_text.substr(m_at, w.size()) != w)
            return false;
        m_at += w.size();
        return true;
    }
    JsonValue parseValue(int depth)
    {
        if (depth > kDeepest)
            fail("nested too deeply");
        skipSpace();
        if (m_at >= m_text.size())
            fail("unexpected end of the text");
        const char c = m_text[m_at];
        if (c == '{')
            return { parseObject(depth) };
        if (c == '[')
            return { parseArray(depth) };
        if (c == '"')
            return { parseString() };
        if (word("true"))
            return { true };
        if (word("false"))
            return { false };
        if (word("null"))
            return { nullptr };
        return { parseNumber() };
    }
    JsonValue::Object parseObject(int depth)
    {
        JsonValue::Object object;
        expect('{');
        if (take('}'))
            return object;
        do {
            skipSpace();
            if (m_at >= m_text.size() || m_text[m_at] != '"')
                fail("expected a member name");
            std::string name = parseString();
            expect(':');
            object.push_back({ std::move(name), parseValue(depth + 1) });
        } while (take(','));
        expect('}');
        return object;
    }
    JsonValue::Array parseArray(int depth)
    {
        JsonValue::Array array;
        expect('[');
        if (take(']'))
            return array;
        do
            array.push_back(parseValue(depth + 1));
        while (take(','));
        expect(']');
        return array;
    }
    double parseNumber()
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size()
            && std::string_view("+-0123456789.eE").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
        double number = 0;
        const auto [end, error]
            = std::from_chars(m_text.data() + start, m_text.data() + m_at, number);
        if (start == m_at || error != std::errc() || end != m_text.data() + m_at
            || m_text[start] == '+' || !std::isfinite(number)) {
            m_at = start;
            fail("expected a value");
        }
        return number;
    }
    unsigned hex4()
    {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(
            m_text.data() + m_at, m_text.data() + std::min(m_at + 4, m_text.size()), value, 16);
        if (error != std::errc() || end != m_text.data() + m_at + 4)
            fail("bad \\u escape");
        m_at += 4;
        return value;
    }
    char32_t escapedCharacter()
    {
        char32_t c = hex4();
        if (c >= 0xD800 && c < 0xDC00 && word("\\u")) {
            const char32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF)
                fail("bad surrogate pair");
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        return c >= 0xD800 && c < 0xE000 ? U'\uFFFD' : c;
    }
    std::string parseString()
    {
        std::string out;
        ++m_at; // the opening quote
        while (true) {
            if (m_at >= m_text.size())
                fail("unterminated string");
            const char c = m_text[m_at++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                fail("control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                fail("unterminated string");
            const char e = m_text[m_at++];
            const std::string_view plain = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (const auto k = plain.find(e); k != std::string_view::npos)
                out += meant[k];
            else if (e == 'u')
                out += utf8Text(std::u32string(1, escapedCharacter()));
            else
                fail("bad escape in a string");
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

void writeValue(std::string& out, const JsonValue& value, int level);

template <typename Items, typename WriteItem>
void writeList(
    std::string& out, const Items& items, char open, char close, int level, WriteItem writeItem)
{
    out += open;
    const std::string indent(std::size_t(level + 1) * 2, ' ');
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i ? ",\n" : "\n") + indent;
        writeItem(items[i]);
    }
    if (!items.empty())
        out += '\n' + std::string(std::size_t(level) * 2, ' ');
    out += close;
}

void writeValue(std::string& out, const JsonValue& value, int level)
{
    if (const auto* object = value.object())
        writeList(out, *object, '{', '}', level, [&](const auto& member) {
            out += jsonString(member.first);
            out += ": ";
            writeValue(out, member.second, level + 1);
        });
    else if (const auto* array = std::get_if<JsonValue::Array>(&value.value))
        writeList(out, *array, '[', ']', level,
            [&](const auto& item) { writeValue(out, item, level + 1); });
    else if (const auto* text = value.string())
        out += jsonString(*text);
    else if (const auto* number = value.number()) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, *number).ptr;
        out.append(digits, end);
    } else if (const auto* flag = value.flag())
        out += *flag ? "true" : "false";
    else
        out += "null";
}

} // namespace

std::string jsonString(std::string_view bytes)
{
    std::string text = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = escpos::utf8CharacterLength(bytes, at);
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            text += escaped;
        } else if (length == 0) {
            text += "\xEF\xBF\xBD"; // U+FFFD REPLACEMENT CHARACTER
            at += 1;
            continue;
        } else {
            text.append(bytes.substr(at, length));
        }
        at += length;
    }
    return text + '"';
}

const JsonValue* JsonValue::member(std::string_view name) const
{
    if (const auto* members = object())
        for (const auto& [key, value] : *members)
            if (key == name)
                return &value;
    return nullptr;
}

JsonValue parseJson(std::string_view text)
{
    return Parser(text).document();
}

std::string writeJson(const JsonValue& value)
{
    std::string out;
    writeValue(out, value, 0);
    return out + '\n';
}

} // namespace escpos
