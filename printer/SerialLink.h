#pragma once
// The two-way link over a serial port: the window's port object, opened for the link (or found
// open) and read with a bounded wait for the reply.

#include "printer/PrinterLink.h"

namespace cport {
class TCustomComPort;
}

namespace printer {

class SerialLink : public PrinterLink {
public:
    // Opens the port unless it is open already (EComPort is raised when it cannot be opened).
    // keepOpen leaves it open when the link goes, for the next press or query to reuse.
    SerialLink(cport::TCustomComPort& port, bool keepOpen);
    // Closes the port unless keepOpen (failures to close are not raised from here).
    ~SerialLink() override;

protected:
    // A port that takes nothing for the no-progress limit raises "Write timeout".
    void write(const std::string& bytes) override;
    // Uses the port's "return on the first byte" time-out form for the wait; the port's own
    // time-outs are back in place afterwards.
    std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    cport::TCustomComPort& m_port;
    bool m_keepOpen;
};

} // namespace printer
