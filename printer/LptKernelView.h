#pragma once
// What the kernel's printer driver reports about a parallel or USB printer: the status lines
// (LPGETSTATUS) and the printer's IEEE-1284 device ID. A FIFO or a plain file answers neither.

#include <optional>
#include <string>
#include <string_view>

namespace printer {

struct LptLineStatus {
    bool paperOut = false;
    bool selected = false;
    bool error = false;
    friend bool operator==(const LptLineStatus&, const LptLineStatus&) = default;
};

struct Ieee1284Id {
    std::string maker;
    std::string model;
    std::string commandSet;
    friend bool operator==(const Ieee1284Id&, const Ieee1284Id&) = default;
};

struct LptKernelView {
    std::optional<LptLineStatus> lines; // nullopt: not available
    std::optional<Ieee1284Id> deviceId; // nullopt: not available
};

// The status byte of LPGETSTATUS in named lines (the error line is active low).
LptLineStatus lptLineStatusFromByte(int status);

// "MFG:EPSON;MDL:TM-T88V;CMD:ESC/POS;" with the long key forms (MANUFACTURER, MODEL,
// COMMAND SET) too; keys in any letter case, surrounding blanks dropped, unknown keys ignored.
Ieee1284Id parseIeee1284Id(std::string_view text);

// The device ID that sysfs publishes (below the system root) for a USB printer /dev/usb/lpN,
// read without opening the device; nullopt for other devices or when sysfs has none.
std::optional<Ieee1284Id> sysfsDeviceId(const std::string& devicePath);

// Asks the driver behind the open descriptor of devicePath. The device ID comes from sysfs
// (below the system root) for a USB printer, otherwise from the driver's ioctl.
LptKernelView readLptKernelView(int fd, const std::string& devicePath);

} // namespace printer
