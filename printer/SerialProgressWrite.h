#pragma once
// Writing a job through a serial port under the no-progress rule: the press ends when the port
// has taken no byte for printer::noProgressLimit, whatever the port's own write time limit, and
// a slow printer that keeps taking bytes is never cut off.

#include <cstddef>
#include <string>

namespace cport {
class TCustomComPort;
}

namespace printer {

// Writes bytes through the open port in pieces of about 50 ms of line time, each under a short
// write limit of its own (the port's limits are restored afterwards), calling the wait hook
// between pieces. Returns the count the port took: all of them, or fewer when it stalled.
// Errors of the port (EComPort) are raised.
std::size_t writeWithProgressLimit(cport::TCustomComPort& port, const std::string& bytes);

} // namespace printer
