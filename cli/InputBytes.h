#pragma once
// The bytes a command takes from a file or from standard input ("-"): read whole before any
// device is opened, or (raw -) handed on piece by piece as they arrive.

#include <functional>
#include <string>
#include <string_view>

namespace cli {

// Every byte of the file, or of standard input for "-". A file that cannot be read raises
// UsageError "<name>: <the runtime's message>." ("receipt.bin: File not found.").
std::string readInputBytes(const std::string& nameOrDash);

// Hands each piece of standard input to `take` as soon as it arrives, to the end of the input;
// a failed read raises UsageError as readInputBytes does.
void streamStandardInput(const std::function<void(std::string_view)>& take);

} // namespace cli
