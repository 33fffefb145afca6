#pragma once
// The text of print-test as the window sends the text of its memo: each line break (LF, CR LF
// or a lone CR) as CR LF, the characters in Windows-1252 with "?" for what it lacks.

#include <string>

namespace cli {

// Each line break of the text (LF, CR LF or a lone CR) as CR LF.
std::string withCrLfLineEnds(const std::string& text);

// utf8: the text as given (a shell's argument or standard input). codePage: iconv's name of
// another code page, or empty for Windows-1252.
std::string printTextBytes(const std::string& utf8, const std::string& codePage);

} // namespace cli
