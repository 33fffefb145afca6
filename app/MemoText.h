#pragma once
// Between a multi-line text box's text and the 8-bit, CR LF form the printer gets.

#include <QString>
#include <string>

namespace app {

// The text box's raw text (line and paragraph separators as Qt keeps them, every other
// character untouched) as Windows-1252 bytes with each line break as CR LF.
std::string memoBytes(const QString& rawText);

// Windows-1252 bytes with CR LF (or lone CR or LF) line breaks as text for a text box.
QString memoText(const std::string& bytes);

} // namespace app
