#include "zevaruv/ZEVarUV.h"

#include "zevaruv/SharedConnection.h"

#include <algorithm>

namespace zevaruv {

std::mutex connectionMutex;
NetConnection connection;
thread_local ThreadPart threadPart;

} // namespace zevaruv

using zevaruv::connection;
using zevaruv::ConnectionCall;

namespace {

int sendLimitMs = 0;

// Limits beyond a day are taken as a day, so the milliseconds always fit.
int secondsToMs(std::int32_t seconds)
{
    return std::clamp(seconds, 0, 86400) * 1000;
}

} // namespace

std::uint8_t KWNetOpen(const char* address, std::int32_t connectSeconds, std::int32_t sendSeconds)
{
    if (!address)
        return 0;
    const ConnectionCall call;
    if (call.refused())
        return 0;
    sendLimitMs = secondsToMs(sendSeconds);
    return connection.open(
               address, zevaruv::printerPort, secondsToMs(connectSeconds), call.waiting())
        ? 1
        : 0;
}

std::int32_t KWNetSend(const std::uint8_t* data, std::int32_t length)
{
    if (!data || length <= 0)
        return 0;
    const ConnectionCall call;
    if (call.refused())
        return 0;
    return static_cast<std::int32_t>(
        connection.send(data, static_cast<std::size_t>(length), sendLimitMs, call.waiting()));
}

void KWNetWaitCallback(void (*callback)(void* context), void* context)
{
    zevaruv::threadPart.waiting = { callback, context };
}

void KWNetClose()
{
    const ConnectionCall call;
    if (!call.refused())
        connection.close();
}
