#include "usb/UsbFailure.h"

#include "platform/Exception.h"

#include <cerrno>

namespace usb {

std::string usbFailureMessage(
    UsbFault fault, const UsbFailureContext& context, const std::string& detail)
{
    switch (fault) {
    case UsbFault::HeldByDriver:
        return "The USB printer " + context.device + " is held by the kernel's driver "
            + context.driver + ": send to it through its line printer device (--lpt "
            + "/dev/usb/lpN, see --list), or detach the driver while sending (--detach, or "
            + "\"Detach the kernel's driver\" in the printer pane)";
    case UsbFault::HeldByProgram:
        return "The USB printer " + context.device + " is busy: another program holds it ("
            + (context.holders.empty() ? "a print spooler such as CUPS or ipp-usb, or another tool"
                                       : context.holders)
            + ")";
    case UsbFault::Permission:
        return "The USB device " + context.node + " (" + context.device
            + ") may not be opened by this user: add a udev rule that gives receipt printers "
              "to the logged-in user (TAG+=\"uaccess\", see \"USB printers\" in the README), "
              "then plug the printer in again";
    case UsbFault::NoDevice:
        return "No USB printer " + context.device + " is plugged in (no device)";
    case UsbFault::Other:
        break;
    }
    return "The USB printer " + context.device + " failed: " + detail;
}

int usbFaultErrno(UsbFault fault)
{
    switch (fault) {
    case UsbFault::HeldByDriver:
    case UsbFault::HeldByProgram:
        return EBUSY;
    case UsbFault::Permission:
        return EACCES;
    case UsbFault::NoDevice:
        return ENODEV;
    case UsbFault::Other:
        break;
    }
    return EIO;
}

void raiseUsbFailure(UsbFault fault, const UsbFailureContext& context, const std::string& detail)
{
    const std::string message = usbFailureMessage(fault, context, detail);
    if (fault == UsbFault::Other)
        throw platform::Exception(message);
    throw platform::EInOutError(usbFaultErrno(fault), message);
}

} // namespace usb
