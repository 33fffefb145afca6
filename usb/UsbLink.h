#pragma once
// The two-way printer link over a USB transport: questions, replies and the transcript work
// as on every other connection (stale bytes read away before each question, late replies told
// apart). A printer without a bulk IN endpoint can only be sent to.

#include "printer/PrinterLink.h"
#include "usb/UsbTransport.h"

#include <memory>

namespace usb {

class UsbLink : public printer::PrinterLink {
public:
    explicit UsbLink(std::unique_ptr<UsbTransport> transport);

    bool canAnswer() const override { return m_transport->endpoints().in.has_value(); }

protected:
    // A device that takes nothing for 7 s raises a SendFailure "Write timeout" with the count
    // it took.
    void write(const std::string& bytes) override;
    std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    std::unique_ptr<UsbTransport> m_transport;
};

} // namespace usb
