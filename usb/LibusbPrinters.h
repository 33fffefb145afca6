#pragma once
// USB printers reached through libusb-1.0, without the kernel's printer driver: the list of
// printer interfaces on the machine and the two-way link to one of them. Each call makes and
// ends its own libusb context: nothing stays behind in the process.

#include "printer/PrinterLink.h"
#include "usb/UsbPrinterInfo.h"
#include "usb/UsbSelector.h"

#include <memory>
#include <vector>

namespace usb {

// Every printer interface (printer class, or vendor class with a bulk OUT endpoint) of every
// USB device, in the order of bus and address. Raises platform::Exception when libusb cannot
// start (no /dev/bus/usb).
std::vector<UsbPrinterInfo> listUsbPrinters();

// Opens the first printer interface of the device the selector names and claims it. A device
// held by a kernel driver (unless `detachDriver`: then the driver is detached while the link
// lives, and attached again after) or by another program (named where it can be seen) raises
// EBUSY, one that may not be opened EACCES
// (the message names the udev rule), a missing one ENODEV, all as platform::EInOutError.
std::unique_ptr<printer::PrinterLink> openUsbLink(
    const UsbSelector& selector, bool detachDriver = false);

} // namespace usb
