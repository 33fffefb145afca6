#pragma once
// The host's 8-bit code page: Windows-1252, the byte form a Western host sends to a printer.

#include <string>

namespace platform {

// UTF-8 text to Windows-1252 bytes; a character the code page lacks becomes "?", and so does
// each byte of malformed UTF-8. Zero bytes pass through.
std::string utf8ToAnsi(const std::string& utf8);

// UTF-8 text to the bytes of another 8-bit code page, named as iconv knows it ("CP437",
// "ISO-8859-15"); "?" for what the code page lacks, as utf8ToAnsi does. Raises
// std::invalid_argument when iconv does not know the code page.
std::string utf8ToCodePage(const std::string& utf8, const std::string& codePage);

// Whether iconv can convert UTF-8 text to codePage.
bool knownCodePage(const std::string& codePage);

// Windows-1252 bytes to UTF-8; the bytes the code page leaves undefined keep their
// Latin-1 meaning, so every byte string survives the round trip.
std::string ansiToUtf8(const std::string& ansi);

} // namespace platform
