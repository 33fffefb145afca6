#pragma once
// Which character devices a port may open, learnt without opening them: opening a device for
// reading and writing can act on it (a watchdog arms, a modem line rises), and opening a
// terminal that is no serial line takes it from its user (the caller's own terminal left raw,
// /dev/ptmx making a pseudo-terminal nobody reads).

#include <string>
#include <sys/types.h>

namespace cport {

enum class TTerminalKind {
    SerialLine, // a serial driver's line: a UART, a USB adapter, a Bluetooth RFCOMM line
    PseudoTerminal, // a pseudo-terminal slave (/dev/pts/N), whose writes leave at once
    Refused, // no terminal, or a terminal that is no serial line (ENOTTY)
};

// What the device is on this system: the controlling terminal of this process is refused
// whatever it is; then the kernel's own list of terminal drivers (/proc/tty/drivers) decides,
// where a "serial" driver is a serial line and a "pty:slave" one a pseudo-terminal; a device
// that list does not know is a serial line when sysfs gives it a driver
// (/sys/dev/char/MAJOR:MINOR/device/driver). /dev/tty, /dev/console, /dev/ptmx and the virtual
// consoles are refused.
TTerminalKind terminalKind(dev_t device);

// The kind a /proc/tty/drivers table gives a device: the line whose major number and minor
// range hold it ("serial" and "pty:slave" types; every other type is Refused); nothing when no
// line does.
enum class TDriverListing { SerialLine, PseudoTerminal, Other, Unlisted };
TDriverListing kindInDriverTable(const std::string& table, dev_t device);

// The controlling terminal of this process (tty_nr of /proc/self/stat), 0 when it has none.
dev_t controllingTerminal();

} // namespace cport
