#include "printer/NetworkLink.h"

#include "platform/Exception.h"
#include "zevaruv/KWNetReceive.h"

#include <algorithm>
#include <climits>

namespace printer {

NetworkLink::NetworkLink(const std::string& address)
{
    if (KWNetOpen(address.c_str(), 5, 7) != 1)
        throw platform::Exception("Connect error");
}

NetworkLink::~NetworkLink()
{
    KWNetClose();
}

void NetworkLink::write(const std::string& bytes)
{
    if (bytes.size() > std::size_t(INT32_MAX))
        throw SendFailure("Send error", 0);
    const auto length = static_cast<std::int32_t>(bytes.size());
    if (length == 0)
        return;
    const std::int32_t acknowledged
        = KWNetSend(reinterpret_cast<const std::uint8_t*>(bytes.data()), length);
    if (acknowledged != length)
        throw SendFailure("Send error", static_cast<std::size_t>(std::max(acknowledged, 0)));
}

std::string NetworkLink::read(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    std::string bytes(std::min<std::size_t>(maxBytes, INT32_MAX), '\0');
    const auto waitMs
        = static_cast<std::int32_t>(std::clamp<std::int64_t>(limit.count(), 0, INT32_MAX));
    const std::int32_t got = KWNetReceive(reinterpret_cast<std::uint8_t*>(bytes.data()),
        static_cast<std::int32_t>(bytes.size()), waitMs);
    // A connection the printer has closed answers nothing more.
    m_hungUp = m_hungUp || got < 0;
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace printer
