#pragma once
// What quillet-send writes for people reaches them in their terminal's character set, and
// text that a printer supplied can neither move the cursor nor change colours there.

#include <string>
#include <string_view>

namespace cli {

// The character set of the user's terminal: nl_langinfo(CODESET) when the program could take
// the user's locale (localeTaken, after setlocale(LC_CTYPE, "")); otherwise the one the
// locale's name gives (LC_ALL, LC_CTYPE, LANG: "de_DE.UTF-8" gives "UTF-8"), as a terminal
// set up for a locale the system has not generated still uses it; otherwise ASCII.
std::string terminalCodeset(bool localeTaken);

// Bytes from outside (a printer's device ID, a device's file name) made safe to show: control
// characters (line breaks and escape sequences included), DEL, the C1 controls and every byte
// that is no UTF-8 are written as \xNN; well-formed UTF-8 passes.
std::string printableText(std::string_view bytes);

// Converts UTF-8 text to a character set iconv knows, "?" for what it lacks. The
// program's own translated texts are Windows-1252 inside it: platform::ansiToUtf8 first.
class TerminalText {
public:
    explicit TerminalText(std::string codeset);
    std::string operator()(const std::string& utf8) const;

private:
    std::string m_codeset; // empty for UTF-8: nothing to convert
};

} // namespace cli
