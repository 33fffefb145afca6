#pragma once
// Why a USB printer could not be reached, in words that say what to do about it. Raised as
// platform::EInOutError with the errno that matches (EBUSY, EACCES, ENODEV), so the command
// line's failure kinds and its --wait treat a USB printer like any other device; a lack of
// permission names the udev rule to add, never a group to join.

#include <string>

namespace usb {

enum class UsbFault {
    HeldByDriver, // a kernel driver (usblp) is bound to the interface
    HeldByProgram, // another program claimed the interface (EBUSY)
    Permission, // the device node may not be opened
    NoDevice, // unplugged, or no such device
    Other,
};

struct UsbFailureContext {
    std::string device; // "04b8:0202 on bus 1, address 4"
    std::string node; // "/dev/bus/usb/001/004"
    std::string driver; // the kernel driver that holds it, for HeldByDriver
    std::string holders; // the programs seen holding it, for HeldByProgram ("cupsd (pid 812)")
};

// The message for a fault; `detail` (the library's own words) is added for Other.
std::string usbFailureMessage(
    UsbFault fault, const UsbFailureContext& context, const std::string& detail = {});

// The errno that stands for the fault in the failure kinds (EBUSY, EACCES, ENODEV, EIO).
int usbFaultErrno(UsbFault fault);

// Raises the fault as platform::EInOutError (Other as platform::Exception).
[[noreturn]] void raiseUsbFailure(
    UsbFault fault, const UsbFailureContext& context, const std::string& detail = {});

} // namespace usb
