#pragma once
// The two-way link over a serial port: the window's port object, opened for the link (or found
// open) and read with a bounded wait for the reply.

#include "printer/PrinterLink.h"
#include "serial/core/ComSettings.h"

#include <cstdint>

namespace printer {

class SerialLink : public PrinterLink {
public:
    // Opens the port unless it is open already (EComPort is raised when it cannot be opened).
    // keepOpen leaves it open when the link goes, for the next press or query to reuse.
    SerialLink(cport::TCustomComPort& port, bool keepOpen);
    // Closes the port unless keepOpen (failures to close are not raised from here).
    ~SerialLink() override;

protected:
    // A port that takes nothing for the no-progress limit raises "Write timeout" with the count
    // it took.
    void write(const std::string& bytes) override;
    // Uses the port's "return on the first byte" time-out form for the wait; the port's own
    // time-outs are back in place when the link goes.
    std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    void waitUpTo(std::int32_t ms);

    cport::TCustomComPort& m_port;
    bool m_keepOpen;
    cport::TComTimeouts m_portTimeouts; // the port's own, put back when the link goes
    std::int32_t m_waitMs = -1; // the read wait set on the port; -1 while none is
};

} // namespace printer
