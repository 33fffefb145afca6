#include "printer/SerialLink.h"

#include "platform/Exception.h"
#include "printer/SerialProgressWrite.h"
#include "serial/CPort.h"

#include <algorithm>
#include <climits>

namespace printer {

namespace {

// Sets the port's read time-outs for one wait and puts the previous ones back afterwards.
class ReadWait {
public:
    ReadWait(cport::TCustomComPort& port, std::chrono::milliseconds limit)
        : m_port(port)
    {
        m_previous.assign(&port.Timeouts());
        const auto ms
            = static_cast<std::int32_t>(std::clamp<std::int64_t>(limit.count(), 0, INT32_MAX - 1));
        cport::TComTimeouts wait;
        wait.assign(&port.Timeouts());
        // All-ones interval and multiplier: wait up to the constant for the first byte; with
        // a zero multiplier and constant, return at once with what is there.
        wait.setReadInterval(-1);
        wait.setReadTotalMultiplier(ms == 0 ? 0 : -1);
        wait.setReadTotalConstant(ms);
        m_port.setTimeouts(wait);
    }
    ~ReadWait()
    {
        try {
            m_port.setTimeouts(m_previous);
        } catch (...) {
            // The device refused the port's own time-outs; the next open applies them again.
        }
    }
    ReadWait(const ReadWait&) = delete;
    ReadWait& operator=(const ReadWait&) = delete;

private:
    cport::TCustomComPort& m_port;
    cport::TComTimeouts m_previous;
};

} // namespace

SerialLink::SerialLink(cport::TCustomComPort& port, bool keepOpen)
    : m_port(port)
    , m_keepOpen(keepOpen)
{
    m_port.openPort();
}

SerialLink::~SerialLink()
{
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
    if (writeWithProgressLimit(m_port, bytes) < bytes.size())
        throw platform::Exception("Write timeout");
}

std::string SerialLink::read(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    ReadWait wait(m_port, limit);
    std::string bytes(std::min<std::size_t>(maxBytes, INT32_MAX), '\0');
    const std::int32_t got
        = m_port.readBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace printer
