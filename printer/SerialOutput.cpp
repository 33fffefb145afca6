#include "printer/SerialOutput.h"

#include "platform/MessageBoxes.h"
#include "printer/SerialProgressWrite.h"
#include "serial/CPort.h"

namespace printer {

namespace {

// After a failed write the descriptor may be dead (a device unplugged mid-send): closing the
// port makes the next press open the device anew instead of failing on the old descriptor.
void closeAfterFailure(cport::TCustomComPort& port)
{
    try {
        port.closePort();
    } catch (const std::exception&) {
        // The write's own error is the one to report.
    }
}

} // namespace

std::size_t sendSerial(cport::TCustomComPort& port, const std::string& bytes)
{
    port.openPort();
    std::size_t taken = 0;
    try {
        taken = writeWithProgressLimit(port, bytes);
    } catch (...) {
        closeAfterFailure(port);
        throw;
    }
    port.closePort();
    // A printer that got part of a job must not look served.
    if (taken < bytes.size())
        platform::showMessage("Write timeout");
    return taken;
}

} // namespace printer
