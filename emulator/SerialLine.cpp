#include "emulator/SerialLine.h"

#include <algorithm>
#include <cmath>

namespace emulator {

namespace {

constexpr char kXon = 0x11, kXoff = 0x13;

} // namespace

SerialLine::SerialLine(FlowControl flow, std::size_t bufferBytes, int drainRate)
    : m_flow(flow)
    , m_bufferBytes(bufferBytes)
    , m_drainRate(drainRate)
{
}

std::size_t SerialLine::room(std::size_t buffered, std::size_t chunk) const
{
    // With no flow control the line never stops: everything is read, and what does not fit lost.
    if (m_flow == FlowControl::None)
        return chunk;
    return std::min(chunk, m_bufferBytes - std::min(buffered, m_bufferBytes));
}

std::size_t SerialLine::receive(std::string_view bytes, std::size_t buffered)
{
    const auto kept = std::min(bytes.size(), m_bufferBytes - std::min(buffered, m_bufferBytes));
    m_lost.kept(bytes.substr(0, kept));
    m_lost.lost(bytes.substr(kept));
    return kept;
}

// XOFF when less than a quarter of the buffer is free, XON once no more than a quarter is used
// (the limits serial drivers use), so a sender that stops a little late still finds room.
char SerialLine::flowByte(std::size_t buffered)
{
    if (m_flow != FlowControl::XonXoff)
        return 0;
    if (!m_stopped && buffered > m_bufferBytes - m_bufferBytes / 4) {
        m_stopped = true;
        return kXoff;
    }
    if (m_stopped && buffered <= m_bufferBytes / 4) {
        m_stopped = false;
        return kXon;
    }
    return 0;
}

std::size_t SerialLine::printable(Clock::time_point now)
{
    if (m_drainRate <= 0)
        return static_cast<std::size_t>(-1);
    const std::chrono::duration<double> elapsed = now - m_lastDrain;
    m_lastDrain = now;
    // The allowance never grows past a buffer's worth: a pause does not store up speed.
    m_credit
        = std::min(m_credit + elapsed.count() * m_drainRate, static_cast<double>(m_bufferBytes));
    return m_credit > 0 ? static_cast<std::size_t>(std::ceil(m_credit)) : 0;
}

int SerialLine::waitMs() const
{
    if (m_drainRate <= 0 || m_credit > 0)
        return -1;
    return static_cast<int>(std::ceil(-m_credit * 1000 / m_drainRate)) + 1;
}

} // namespace emulator
