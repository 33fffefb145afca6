#include "diagnostics/ModemLines.h"

#include <sys/ioctl.h>

namespace diagnostics {

bool hasModemLines(int deviceHandle)
{
    // A pseudo-terminal answers ENOTTY (some drivers EINVAL) where a UART reports its lines.
    int lines = 0;
    return deviceHandle >= 0 && ::ioctl(deviceHandle, TIOCMGET, &lines) == 0;
}

} // namespace diagnostics
