#pragma once
// The printer of the command line reached the way its connection says: through the window's
// transports, or for --usb through libusb.

#include "cli/TargetConnection.h"
#include "printer/PrinterLink.h"

#include <memory>
#include <string>

namespace cli {

// The two-way link; failures to open are raised as the transports raise them. `detachDriver`:
// a kernel driver holding a USB printer is detached while the link lives.
std::unique_ptr<printer::PrinterLink> openTargetLink(
    const Target& target, const TargetConnection& connection, bool detachDriver);

// Sends the bytes of an action as the window's press does (a USB printer over its link).
void sendToTarget(const Target& target, const TargetConnection& connection,
    const std::string& bytes, bool detachDriver);

} // namespace cli
