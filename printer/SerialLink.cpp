#include "printer/SerialLink.h"

#include "platform/Exception.h"
#include "printer/SerialProgressWrite.h"
#include "serial/CPort.h"

#include <algorithm>
#include <climits>

namespace printer {

SerialLink::SerialLink(cport::TCustomComPort& port, bool keepOpen)
    : m_port(port)
    , m_keepOpen(keepOpen)
{
    m_port.openPort();
    m_portTimeouts.assign(&m_port.Timeouts());
}

SerialLink::~SerialLink()
{
    try {
        if (m_waitMs >= 0)
            m_port.setTimeouts(m_portTimeouts);
    } catch (...) {
        // The device refused the port's own time-outs; the next open applies them again.
    }
    if (m_keepOpen)
        return;
    try {
        m_port.closePort();
    } catch (...) {
        // Closing raises only when aborting the transfers failed; the port is closed anyway.
    }
}

void SerialLink::write(const std::string& bytes)
{
    const std::size_t taken = writeWithProgressLimit(m_port, bytes);
    if (taken < bytes.size())
        throw SendFailure("Write timeout", taken);
}

void SerialLink::waitUpTo(std::int32_t ms)
{
    // Set once for a run of equal waits: most waits are one wait slice long.
    if (ms == m_waitMs)
        return;
    cport::TComTimeouts wait;
    wait.assign(&m_port.Timeouts());
    // All-ones interval and multiplier: wait up to the constant for the first byte; with a zero
    // multiplier and constant, return at once with what is there.
    wait.setReadInterval(-1);
    wait.setReadTotalMultiplier(ms == 0 ? 0 : -1);
    wait.setReadTotalConstant(ms);
    m_port.setTimeouts(wait);
    m_waitMs = ms;
}

std::string SerialLink::read(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    waitUpTo(static_cast<std::int32_t>(std::clamp<std::int64_t>(limit.count(), 0, INT32_MAX - 1)));
    std::string bytes(std::min<std::size_t>(maxBytes, INT32_MAX), '\0');
    const std::int32_t got
        = m_port.readBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace printer
