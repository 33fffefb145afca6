#pragma once
// Whether an open serial device has modem lines at all: a pseudo-terminal has none.

namespace diagnostics {

bool hasModemLines(int deviceHandle);

} // namespace diagnostics
