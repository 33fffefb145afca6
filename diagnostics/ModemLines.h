#pragma once
// Whether an open serial device has modem lines at all (a pseudo-terminal has none), and the
// levels of its output lines.

#include <optional>

namespace diagnostics {

bool hasModemLines(int deviceHandle);

// The levels DTR and RTS have now; nullopt when the device has no modem lines.
struct OutputLevels {
    bool dtr = false;
    bool rts = false;
};
std::optional<OutputLevels> outputLevels(int deviceHandle);

} // namespace diagnostics
