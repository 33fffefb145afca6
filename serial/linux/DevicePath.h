#pragma once
// Where a port name points on Linux.

#include <string>

namespace cport {

// An absolute path is used as it is; "COMn" (any letter case, n >= 1) is /dev/ttyS<n-1>; any
// other name is /dev/<name>. Derived paths lie below the test system root (QUILLET_SYSROOT).
std::string comDevicePath(const std::string& port);

} // namespace cport
