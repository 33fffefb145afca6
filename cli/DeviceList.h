#pragma once
// --list: the serial ports, as the window's port list offers them, and the line-printer devices
// (/dev/lpN, /dev/usb/lpN) with the name LPT1 … LPT4 that reaches them and the model from
// their IEEE-1284 device ID, then the USB printers libusb finds. No serial port or line printer
// is opened; a USB device node is, for its names and device ID, and nothing is sent to the printer.

#include <string>

namespace cli {

// The listing, one device a line under the headings "Serial ports:" and "Line printers:".
// A serial port list that cannot be read (no /sys/class/tty) is said in a line of its own
// under its heading. Text from the devices is made printable (TerminalText.h).
std::string deviceList();

} // namespace cli
