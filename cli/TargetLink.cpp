#include "cli/TargetLink.h"

#include "printer/OpenPrinterLink.h"
#include "printer/SendToPrinter.h"
#include "usb/LibusbPrinters.h"

namespace cli {

std::unique_ptr<printer::PrinterLink> openTargetLink(
    const Target& target, const TargetConnection& connection)
{
    if (target.usb)
        return usb::openUsbLink(*target.usb);
    return printer::openPrinterLink(connection, false);
}

void sendToTarget(
    const Target& target, const TargetConnection& connection, const std::string& bytes)
{
    if (target.usb)
        usb::openUsbLink(*target.usb)->send(bytes);
    else
        printer::sendToPrinter(connection, bytes);
}

} // namespace cli
