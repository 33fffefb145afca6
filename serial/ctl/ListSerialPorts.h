#pragma once
// The machine's serial ports as the port-name list offers them.

#include <string>
#include <vector>

namespace cport {

// Replaces `target` with the names of the serial ports found in sysfs (below the test system
// root): every /sys/class/tty/<name> that has a device/driver, except placeholder UARTs whose
// `type` reads 0. Sorted ignoring ASCII letter case, in plain byte order ("COM10" before
// "COM2"); equal names are all kept. A tty folder that cannot be read raises EComPort code 23
// with errno and leaves `target` untouched.
void listSerialPorts(std::vector<std::string>& target);

// Sorts names as listSerialPorts does; names equal but for letter case keep a fixed order.
void sortPortNames(std::vector<std::string>& names);

} // namespace cport
