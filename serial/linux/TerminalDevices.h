#pragma once
// Whether a character device is a terminal, learnt without opening it: opening a device for
// reading and writing can act on it (a watchdog arms, a modem line rises).

#include <string>
#include <sys/types.h>

namespace cport {

// True when the device's sysfs class (/sys/dev/char/MAJOR:MINOR/subsystem) is "tty", or, for
// devices sysfs does not list (pseudo-terminal slaves), when /proc/devices names its major
// number after a terminal driver ("pts", "tty...").
bool isTerminalDevice(dev_t device);

// Whether a driver name of /proc/devices belongs to terminals.
bool isTerminalDriverName(const std::string& name);

} // namespace cport
