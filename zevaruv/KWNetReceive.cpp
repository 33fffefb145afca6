#include "zevaruv/KWNetReceive.h"

#include "zevaruv/SharedConnection.h"

#include <algorithm>

std::int32_t KWNetReceive(std::uint8_t* buffer, std::int32_t size, std::int32_t milliseconds)
{
    if (!buffer || size <= 0)
        return -1;
    const zevaruv::ConnectionCall call;
    if (call.refused())
        return -1;
    const auto received = zevaruv::connection.receive(buffer, static_cast<std::size_t>(size),
        std::clamp(milliseconds, 0, 86400 * 1000), call.waiting());
    return received ? static_cast<std::int32_t>(*received) : -1;
}
