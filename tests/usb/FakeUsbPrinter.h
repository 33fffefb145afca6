#pragma once
// Receipt printers played on umockdev's testbed: the devices come from a description with their
// real descriptors, and each printer's usbfs requests are answered here, on a thread of the
// test, as the kernel would answer them: bulk OUT bytes are kept in order, a DLE EOT question
// is answered on bulk IN only after it arrived (or never, for a silent printer), a request
// that waits in vain is cancelled as libusb cancels it. Works only under umockdev-wrapper.

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class FakeUsbPrinters {
public:
    struct Served {
        std::string node; // "/dev/bus/usb/001/004"
        bool silent = false; // never answers a question
    };
    // Builds the testbed from the description file and answers the usbfs requests of the
    // nodes; nullptr (with the reason) when the test does not run under umockdev-wrapper or the
    // testbed cannot be built.
    static std::unique_ptr<FakeUsbPrinters> create(
        const std::string& description, const std::vector<Served>& served, std::string& why);
    ~FakeUsbPrinters();

    // The bytes that came on the node's bulk OUT endpoints so far, in order.
    std::string received(const std::string& node) const;

    struct State;

private:
    FakeUsbPrinters() = default;
    bool serve(const Served& served, std::string& why);
    std::unique_ptr<State> m_state;
};

} // namespace testsupport
