#pragma once
// The text of an ini-style settings file: "key=value" lines under "[section]" headers. The
// document keeps every line byte for byte (comments, blank lines, unknown sections and keys,
// lines it cannot read, the line ends), so a rewrite changes only the values that were set.
//
// Reading rules: blanks (spaces, tabs) around section names, keys and values are ignored (a
// hand-edited "BaudRate=19200 " reads 19200); a value is everything else after the first "="
// up to the line end, taken as it is (no quotes, no escapes). Lines whose first non-blank byte is
// ";" or "#" are comments. Section and key names compare in ASCII upper case. A line ends at "\n";
// a "\r" before it belongs to the line end. A UTF-8 byte order mark at the start is kept but not
// read as part of the first line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniDocument {
public:
    // Reads any bytes; nothing is refused (lines it does not understand are kept as they are).
    static IniDocument parse(std::string_view bytes);
    // The document as file bytes.
    std::string text() const;

    // The value of the first key of that name in a section of that name.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces that value in place, or adds the key at the end of the section's keys, or adds
    // the section at the end of the document. The names and the value must be writable (see
    // iniWriteProblem).
    void setValue(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string text;
        std::string end; // "\n", "\r\n", or "" for a last line without one
    };
    // Index of the entry line for key in section, or of the header of the section when the key
    // is missing (key found: true), or nullopt without such a section.
    struct Place {
        std::size_t line;
        bool keyFound;
    };
    std::optional<Place> find(std::string_view section, std::string_view key) const;
    void insertLine(std::size_t index, std::string text);
    std::string newline() const;

    std::string m_byteOrderMark;
    std::vector<Line> m_lines;
};

// Why the section name, key or value cannot be written so that it reads back the same, or an
// empty text when it can. Line breaks are never writable; a section name may not hold "]", a
// key may not be empty, hold "=", or begin with ";", "#" or "["; no name or value may begin or
// end with a blank.
std::string iniWriteProblem(std::string_view section, std::string_view key, std::string_view value);

} // namespace platform
