#pragma once
// Which files the parallel transport and the parallel link write to: printer devices
// (character devices) and FIFOs, which the virtual printer and the tests serve. Anything else
// named by mistake (a regular file, a disk, a folder) is refused before it is opened for
// writing, so nothing is overwritten.

#include "platform/Exception.h"

#include <string>

namespace printer {

// The path names something that is no printer device; the message says what it is.
class ENotPrinterDevice : public platform::Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "ENotPrinterDevice"; }
};

// Opens path (following links, never creating or truncating) non-blocking with O_WRONLY, or
// with O_RDWR when it is a character device and bothWays is set; characterDevice tells which
// it was. Raises ENotPrinterDevice for anything but a character device or a FIFO, looked at
// before the open and again on the opened descriptor (the name may be replaced in between).
// -1 with errno set when the path cannot be looked at or opened.
int openPrinterDevice(const std::string& path, bool bothWays, bool& characterDevice);

} // namespace printer
