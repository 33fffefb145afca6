#include "printer/SerialProgressWrite.h"

#include "printer/PressWait.h"
#include "serial/CPort.h"

namespace printer {

std::size_t writeWithProgressLimit(cport::TCustomComPort& port, const std::string& bytes)
{
    const cport::TWriteProgress progress = port.writeWithProgressLimit(
        bytes, noProgressLimit, [](const cport::TWriteProgress&) { keepWaiting(); }, waitSlice);
    return static_cast<std::size_t>(progress.taken - progress.queued);
}

} // namespace printer
