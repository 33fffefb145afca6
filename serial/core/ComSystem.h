#pragma once
// What the component knows of the system's serial devices apart from a port: where a port name
// points and which ports the machine has. Part of the component's face (serial/CPort.h); the
// device layer (serial/linux) answers.

#include <string>
#include <vector>

namespace cport {

// Where a port name points: an absolute path is used as it is; "COMn" (any letter case,
// n >= 1) is /dev/ttyS<n-1>; any other name is /dev/<name>. Derived paths lie below the test
// system root (QUILLET_SYSROOT).
std::string comDevicePath(const std::string& port);

// Replaces `target` with the names of the serial ports found in sysfs (below the test system
// root): every /sys/class/tty/<name> that has a device/driver, except placeholder UARTs whose
// `type` reads 0. Sorted as sortPortNames does; equal names are all kept. A tty folder that
// cannot be read raises EComPort code 23 with errno and leaves `target` untouched.
void listSerialPorts(std::vector<std::string>& target);

// Sorts names ignoring ASCII letter case, in plain byte order ("COM10" before "COM2"); names
// equal but for letter case keep a fixed order.
void sortPortNames(std::vector<std::string>& names);

} // namespace cport
