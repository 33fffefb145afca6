#pragma once
// The host's 8-bit code page: Windows-1252, the byte form a Western host sends to a printer.

#include <string>

namespace platform {

// UTF-8 text to Windows-1252 bytes; a character the code page lacks becomes "?", and so does
// each byte of malformed UTF-8. Zero bytes pass through.
std::string utf8ToAnsi(const std::string& utf8);

// Windows-1252 bytes to UTF-8; the bytes the code page leaves undefined keep their
// Latin-1 meaning, so every byte string survives the round trip.
std::string ansiToUtf8(const std::string& ansi);

} // namespace platform
