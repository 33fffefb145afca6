#include "cli/TerminalText.h"

#include "escpos/Utf8.h"
#include "platform/AnsiText.h"
#include "platform/AsciiCase.h"

#include <cstdio>
#include <cstdlib>
#include <langinfo.h>

namespace cli {

namespace {

constexpr const char* kAscii = "ANSI_X3.4-1968";

bool isUtf8(const std::string& codeset)
{
    return platform::equalIgnoringCase(codeset, "UTF-8")
        || platform::equalIgnoringCase(codeset, "UTF8");
}

// "de_DE.ISO-8859-1@euro" gives "ISO-8859-1"; empty when the name gives none.
std::string codesetOfName(std::string_view name)
{
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return {};
    const auto rest = name.substr(dot + 1);
    return std::string(rest.substr(0, rest.find('@')));
}

void appendEscaped(std::string& text, unsigned char byte)
{
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    text += escaped;
}

} // namespace

std::string terminalCodeset(bool localeTaken)
{
    if (localeTaken)
        return ::nl_langinfo(CODESET);
    for (const char* variable : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            const std::string codeset = codesetOfName(value);
            return codeset.empty() || !platform::knownCodePage(codeset) ? kAscii : codeset;
        }
    }
    return kAscii;
}

std::string printableText(std::string_view bytes)
{
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = escpos::utf8CharacterLength(bytes, at);
        const bool c1 = length == 2 && escpos::utf8CodePoint(bytes, at, length) < 0xA0;
        if (length == 0 || byte < 0x20 || byte == 0x7F || c1) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
                appendEscaped(text, static_cast<unsigned char>(bytes[at + i]));
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        text.append(bytes.substr(at, length));
        at += length;
    }
    return text;
}

TerminalText::TerminalText(std::string codeset)
    : m_codeset(isUtf8(codeset) || !platform::knownCodePage(codeset) ? "" : std::move(codeset))
{
}

std::string TerminalText::operator()(const std::string& utf8) const
{
    return m_codeset.empty() ? utf8 : platform::utf8ToCodePage(utf8, m_codeset);
}

} // namespace cli
