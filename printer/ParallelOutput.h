#pragma once
// The parallel-port transport: the printer device is opened like a file, written, flushed and
// closed within one call.

#include <string>

namespace printer {

// Sends bytes to the parallel (or USB) printer called deviceName ("LPT1" … "LPT4", mapped by
// platform::lptDevicePath); the empty name stands for standard output. The device is opened
// for writing but never created, so a name the computer does not have fails with code 2
// "File not found"; anything but a character device or a FIFO raises ENotPrinterDevice
// unopened. Other failures raise platform::EInOutError with the runtime's code.
void sendParallel(const std::string& deviceName, const std::string& bytes);

} // namespace printer
