#pragma once
// The flow control the printer pane chooses for a serial port it opens itself, for the
// dropped-byte test; the window's own presses keep the port's settings.

#include <memory>

namespace cport {
class TCustomComPort;
class TComPort;
}

namespace printer {

// How the printer holds back the computer's output: not at all, by CTS (RTS/CTS), by DSR
// (DTR/DSR, the usual BUSY line of receipt printers) or by XOFF/XON characters.
enum class LineFlow { None, RtsCts, DtrDsr, XonXoff };
inline constexpr LineFlow kLineFlows[]
    = { LineFlow::None, LineFlow::RtsCts, LineFlow::DtrDsr, LineFlow::XonXoff };

// "none", "RTS/CTS", "DTR/DSR", "XON/XOFF".
const char* lineFlowName(LineFlow flow);

// A closed port on the device of `window`, with its speed, data bits, stop bits and parity,
// and the chosen flow control.
std::unique_ptr<cport::TComPort> ownSerialPort(const cport::TCustomComPort& window, LineFlow flow);

} // namespace printer
