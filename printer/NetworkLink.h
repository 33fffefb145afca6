#pragma once
// The two-way link over the network: one connection to port 9100 through the network printing
// library, which carries the printer's replies back on the same connection.

#include "printer/NetworkWait.h"
#include "printer/PrinterLink.h"

namespace printer {

class NetworkLink : public PrinterLink {
public:
    // Connects with the library's limits (5 s to connect, 7 s per send); "Connect error" is
    // raised when the printer cannot be reached.
    explicit NetworkLink(const std::string& address);
    ~NetworkLink() override;

    bool hungUp() const override { return m_hungUp; }

protected:
    // A partial send raises "Send error" with the count the printer acknowledged.
    void write(const std::string& bytes) override;
    std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    // The library calls the wait hook while it connects, sends and reads.
    const NetworkWait m_waiting;
    bool m_hungUp = false;
};

} // namespace printer
