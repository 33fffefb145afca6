#pragma once
// Where a parallel-port name ("LPT1" … "LPT4") lives on this computer.

#include <string>

namespace platform {

// "LPTn" (any letter case, n from 1 to 4) is /dev/lp<n-1>, or the USB printer
// /dev/usb/lp<n-1> when only that exists; an absolute path is used as it is; any other name is
// /dev/<name>. Derived paths are below the system root (SysRoot.h). The empty name stays
// empty: it stands for standard output.
std::string lptDevicePath(const std::string& name);

} // namespace platform
