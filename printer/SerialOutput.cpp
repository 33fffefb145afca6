#include "printer/SerialOutput.h"

#include "platform/MessageBoxes.h"
#include "serial/CPort.h"

namespace printer {

void sendSerial(cport::TCustomComPort& port, const std::string& bytes)
{
    port.openPort();
    const std::int32_t written = port.writeText(bytes);
    port.closePort();
    // A time-out is no error to the port, but a printer that got part of a job must not look
    // served.
    if (static_cast<std::size_t>(written) < bytes.size())
        platform::showMessage("Write timeout");
}

} // namespace printer
