#pragma once
// The bytes a command takes from a file or from standard input ("-"), read whole before any
// device is opened.

#include <string>

namespace cli {

// Every byte of the file, or of standard input for "-". A file that cannot be read raises
// UsageError "<name>: <the runtime's message>." ("receipt.bin: File not found.").
std::string readInputBytes(const std::string& nameOrDash);

} // namespace cli
