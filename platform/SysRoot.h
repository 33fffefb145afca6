#pragma once
// Every /dev and /sys path the program derives from a name or lists is taken below the
// folder named by QUILLET_SYSROOT (default "/"), so tests can present pseudo-terminals as
// serial ports and FIFOs as printers.

#include <string>

namespace platform {

// QUILLET_SYSROOT without a trailing slash; empty for the real root.
std::string sysRoot();

// absolutePath ("/dev/lp0") below the system root.
std::string underSysRoot(const std::string& absolutePath);

} // namespace platform
