#pragma once
// The line added after the message of a device that could not be opened for lack of
// permission: which group owns the device and how to join it. One text for every front end.

#include "printer/PrinterConnection.h"

#include <functional>
#include <string>

namespace printer {

// "The device /dev/ttyUSB0 belongs to the group "dialout": join it with
// "sudo usermod -aG dialout $USER", then log in again." Empty when the device cannot be looked
// at. A group without a name is given by its number.
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
