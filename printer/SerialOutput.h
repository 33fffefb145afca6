#pragma once
// The serial transport: the window's port object is opened, written and closed within one call.

#include <string>

namespace cport {
class TCustomComPort;
}

namespace printer {

// Opens the port (nothing when it is open already), writes the bytes and closes it. When the
// write time limit ran out before every byte left, the port is closed and "Write timeout" is
// shown in the plain message box. Errors of the port (EComPort) are raised; after a failed
// write the port stays open, and the next call finds it so.
void sendSerial(cport::TCustomComPort& port, const std::string& bytes);

} // namespace printer
