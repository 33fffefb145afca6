#pragma once
// Receipt printers played on umockdev's testbed: the devices come from a description with their
// real descriptors, and each printer's usbfs requests are answered here, on a thread of the
// test, as the kernel would answer them: bulk OUT bytes are kept in order, a DLE EOT question
// is answered on bulk IN only after it arrived (or never, for a silent printer), a request
// that waits in vain is cancelled as libusb cancels it, the printer class's GET_DEVICE_ID is
// answered with the reply given, an interface is not claimed while a kernel driver holds it
// (which usbfs detaches and attaches as the kernel would) or another program does. An
// unplugged printer ends what waits and answers nothing more. Works only under
// umockdev-wrapper.

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class FakeUsbPrinters {
public:
    struct Served {
        std::string node; // "/dev/bus/usb/001/004"
        bool silent = false; // never answers a question
        std::string deviceId; // the GET_DEVICE_ID reply, length bytes included; empty: stalls
        // The interface's folder ("/sys/devices/…/1-5/1-5:1.0") when its "driver" link in the
        // description stands for a kernel driver that holds it (and can be detached).
        std::string driverInterface = {};
    };
    // Builds the testbed from the description file and answers the usbfs requests of the
    // nodes; nullptr (with the reason) when the test does not run under umockdev-wrapper or the
    // testbed cannot be built.
    static std::unique_ptr<FakeUsbPrinters> create(
        const std::string& description, const std::vector<Served>& served, std::string& why);
    ~FakeUsbPrinters();

    // The bytes that came on the node's bulk OUT endpoints so far, in order.
    std::string received(const std::string& node) const;
    // The kernel driver bound to the interface now (the link's name), or empty.
    std::string driverOf(const std::string& node) const;
    // While set, claiming the node's interface fails with EBUSY, as when another program
    // claimed it (the test starts that program to be found holding the node).
    void setClaimedElsewhere(const std::string& node, bool claimed);
    // Pulls the printer out: what waits on it ends with "no device", every later request
    // fails so, and the device (its sysfs folder, "/sys/devices/…/1-6") leaves the testbed.
    void unplug(const std::string& node, const std::string& device);

    struct State;

private:
    FakeUsbPrinters() = default;
    bool serve(const Served& served, std::string& why);
    std::unique_ptr<State> m_state;
};

} // namespace testsupport
