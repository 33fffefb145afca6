#pragma once
// The line added after the message of a device that could not be opened for lack of
// permission: which group owns the device and how to join it, when that group is one meant for
// printers and serial lines (lp, dialout, uucp) and may write the device; otherwise that the
// device is root-only or held by another group, and that a udev rule gives it to lp or
// dialout. One text for every front end.

#include "printer/PrinterConnection.h"

#include <functional>
#include <string>

namespace printer {

// "The device /dev/ttyUSB0 belongs to the group "dialout": join it with
// "sudo usermod -aG dialout $USER", then log in again." Never recommends root, disk or any
// other group: "The device /dev/ttyUSB0 may be opened by root only: give it to the group
// "dialout" with a udev rule (see "Permissions" in the README), then plug it in again." Empty
// when the device cannot be looked at.
std::string permissionHint(const std::string& devicePath);

// The message, a line break and the hint; the message alone when there is no hint.
std::string withPermissionHint(const std::string& message, const std::string& devicePath);

// Runs `action`. When it fails because the chosen device may not be opened (the serial port's
// "Unable to open com port" for EACCES or EPERM, the parallel device's "File access denied"),
// the failure is raised again as a platform::Exception with the hint line after the message;
// every other failure passes on as it is.
void runWithPermissionHint(
    const PrinterConnection& connection, const std::function<void()>& action);

} // namespace printer
