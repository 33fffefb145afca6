#pragma once
// The serial transport: the window's port object is opened, written and closed within one call.

#include <cstddef>
#include <string>

namespace cport {
class TCustomComPort;
}

namespace printer {

// Opens the port (nothing when it is open already), writes the bytes and closes it, and returns
// the count that went down the line. When the line took and sent no byte for noProgressLimit
// (whatever the port's own write time limits), the port is closed, which discards what its
// driver still held, and "Write timeout" is shown in the plain message box. Errors of the port
// (EComPort) are raised; a failed write closes the port first, so the next call opens the device
// afresh.
std::size_t sendSerial(cport::TCustomComPort& port, const std::string& bytes);

} // namespace printer
