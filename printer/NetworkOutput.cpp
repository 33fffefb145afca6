#include "printer/NetworkOutput.h"

#include "platform/MessageBoxes.h"
#include "printer/PressWait.h"
#include "zevaruv/ZEVarUV.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <thread>

namespace printer {

namespace {

constexpr std::int32_t connectSeconds = 5;
constexpr auto sendSeconds = static_cast<std::int32_t>(noProgressLimit.count());
// The printer gets a moment after the connection is made and before it is closed.
constexpr std::chrono::milliseconds settlePause(5);

// Sends every byte, in pieces the library's 32-bit length can carry; whether the printer
// acknowledged them all.
bool sendAll(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t sent = 0;
    do {
        const auto piece = static_cast<std::int32_t>(
            std::min<std::size_t>(bytes.size() - sent, std::numeric_limits<std::int32_t>::max()));
        const std::int32_t delivered = KWNetSend(data + sent, piece);
        if (delivered < piece)
            return false;
        sent += static_cast<std::size_t>(piece);
    } while (sent < bytes.size());
    return true;
}

} // namespace

void sendNetwork(const std::string& address, const std::string& bytes)
{
    // Connecting and sending may take seconds: the library runs beside the waiting press.
    std::uint8_t connected = 0;
    runWaiting([&] { connected = KWNetOpen(address.c_str(), connectSeconds, sendSeconds); });
    if (connected != 1) {
        platform::showMessage("Connect error");
        return;
    }
    std::this_thread::sleep_for(settlePause);
    bool delivered = false;
    runWaiting([&] { delivered = sendAll(bytes); });
    std::this_thread::sleep_for(settlePause);
    KWNetClose();
    if (!delivered)
        platform::showMessage("Send error");
}

} // namespace printer
