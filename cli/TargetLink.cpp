#include "cli/TargetLink.h"

#include "printer/OpenPrinterLink.h"
#include "printer/SendToPrinter.h"
#include "usb/LibusbPrinters.h"

namespace cli {

std::unique_ptr<printer::PrinterLink> openTargetLink(
    const Target& target, const TargetConnection& connection, bool detachDriver)
{
    if (target.usb)
        return usb::openUsbLink(*target.usb, detachDriver);
    return printer::openPrinterLink(connection, false);
}

void sendToTarget(const Target& target, const TargetConnection& connection,
    const std::string& bytes, bool detachDriver)
{
    if (target.usb)
        usb::openUsbLink(*target.usb, detachDriver)->send(bytes);
    else
        printer::sendToPrinter(connection, bytes);
}

} // namespace cli
