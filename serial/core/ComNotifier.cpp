#include "serial/core/ComNotifier.h"

#include "platform/ErrorReport.h"
#include "serial/CPort.h"
#include "serial/core/ComConversions.h"
#include "serial/core/ComSyncQueue.h"

#include <bit>

namespace cport {

TComNotifier::TComNotifier(TCustomComPort& port, std::thread::id owner)
    : m_port(port)
    , m_owner(owner)
{
}

void TComNotifier::sendMessage(unsigned message, std::uint32_t wParam)
{
    sendAnsweredMessage(m_owner, [this, message, wParam] { handlePortMessage(message, wParam); });
}

void TComNotifier::handlePortMessage(unsigned message, std::uint32_t wParam)
{
    if (message != portEventMessage || !m_port.Connected())
        return;
    // wParam carries exactly one event's mask bit; any other value selects nothing.
    const TComEvents events = maskToEvents(wParam);
    if (std::popcount(wParam) != 1 || events.empty())
        return;
    const auto event = TComEvent(std::countr_zero(unsigned(events.bits())));
    platform::runReported([&] { m_port.dispatchEvent(event); });
}

} // namespace cport
