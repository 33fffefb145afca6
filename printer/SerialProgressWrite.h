#pragma once
// Writing a job through a serial port under the no-progress rule: the press ends when the line
// has taken and sent no byte for printer::noProgressLimit, whatever the port's own write time
// limits, and a slow printer that keeps taking bytes is never cut off. The rule is the port's
// own (TCustomComPort::writeWithProgressLimit); the press only keeps the window alive meanwhile.

#include <cstddef>
#include <string>

namespace cport {
class TCustomComPort;
}

namespace printer {

// Writes bytes through the open port, calling the wait hook at least every waitSlice. Returns
// the count that went down the line: all of them, or fewer when the line stalled (bytes the
// driver still holds then are not counted; they go out should the line flow again before the
// port is closed, and are never sent twice). Errors of the port (EComPort) are raised.
std::size_t writeWithProgressLimit(cport::TCustomComPort& port, const std::string& bytes);

} // namespace printer
