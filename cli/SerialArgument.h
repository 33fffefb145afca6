#pragma once
// The serial connection as written after --com: PORT[:BAUD[,FRAMING][,FLOW]], for example
// "ttyUSB0:19200,8N1,rtscts". PORT is a name as the window's port list shows it ("ttyUSB0",
// "COM1") or an absolute path; FRAMING is data bits (5-8), parity (N, E, O, M, S) and stop bits
// (1, 1.5, 2); FLOW is none, rtscts, xonxoff or dtrdsr. Left out: 19200 baud, 8N1, no flow
// control. When the port's own name holds a colon, give the settings too: the settings follow
// the last colon.

#include "cli/Invocation.h"

#include <string_view>

namespace cport {
class TCustomComPort;
}

namespace cli {

// Raises UsageError for an empty port, a bad baud rate, framing or flow control.
SerialSettings parseSerialArgument(std::string_view argument);

// Gives the port its name and line settings. The port watches no line events: nobody waits
// for them on a command line, so no monitor thread runs.
void applySerialSettings(const SerialSettings& settings, cport::TCustomComPort& port);

} // namespace cli
