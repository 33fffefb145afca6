#include "diagnostics/ModemLines.h"

#include <sys/ioctl.h>

namespace diagnostics {

bool hasModemLines(int deviceHandle)
{
    return outputLevels(deviceHandle).has_value();
}

std::optional<OutputLevels> outputLevels(int deviceHandle)
{
    // A pseudo-terminal answers ENOTTY (some drivers EINVAL) where a UART reports its lines.
    int lines = 0;
    if (deviceHandle < 0 || ::ioctl(deviceHandle, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return OutputLevels { (lines & TIOCM_DTR) != 0, (lines & TIOCM_RTS) != 0 };
}

} // namespace diagnostics
