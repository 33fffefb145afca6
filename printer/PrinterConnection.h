#pragma once
// What the transports read from the window at the moment of a press: which connection is
// chosen and that connection's settings. The window implements it; tests may too.

#include <string>

namespace cport {
class TCustomComPort;
}

namespace printer {

// The three connection choices that have a transport.
enum class Connection { Com, Lpt, Ethernet };

class PrinterConnection {
public:
    virtual ~PrinterConnection() = default;
    // Whether the radio button of this choice is checked now.
    virtual bool isChecked(Connection connection) const = 0;
    // The text of the selected parallel-port item; empty when no item is selected.
    virtual std::string lptDeviceName() const = 0;
    // The window's serial port object, holding the port name and line settings to use.
    virtual cport::TCustomComPort& comPort() const = 0;
    // The printer's dotted IPv4 address as the IP editor shows it.
    virtual std::string networkAddress() const = 0;
};

} // namespace printer
