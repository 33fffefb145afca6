#pragma once
// The kernel driver bound to a fake printer's interface, as usbfs shows it: the interface's
// "driver" link in the testbed's sysfs, which USBDEVFS_GETDRIVER names and USBDEVFS_IOCTL's
// DISCONNECT and CONNECT take away and put back.

#include <umockdev.h>

#include <string>

namespace testsupport {

class FakeUsbDriver {
public:
    FakeUsbDriver() = default; // no driver can hold the interface
    // `interfaceFolder`: the interface's real folder in the testbed, whose link stands for the
    // driver bound at the start.
    explicit FakeUsbDriver(const std::string& interfaceFolder);

    // The bound driver's name ("usblp"), or empty.
    std::string bound() const;
    // Answers USBDEVFS_GETDRIVER or USBDEVFS_IOCTL as the kernel would; returns the result
    // and sets `error`.
    long answer(gulong request, UMockdevIoctlData* arg, int& error);

private:
    long disconnectOrConnect(int code, int& error);

    std::string m_link;
    std::string m_target; // where the link points while the driver is bound
};

} // namespace testsupport
