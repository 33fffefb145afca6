#include "printer/NetworkOutput.h"

#include "platform/MessageBoxes.h"
#include "zevaruv/ZEVarUV.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <thread>

namespace printer {

namespace {

constexpr std::int32_t connectSeconds = 5;
constexpr std::int32_t sendSeconds = 7;
// The printer gets a moment after the connection is made and before it is closed.
constexpr std::chrono::milliseconds settlePause(5);

// Sends every byte, in pieces the library's 32-bit length can carry; whether all arrived.
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
    if (KWNetOpen(address.c_str(), connectSeconds, sendSeconds) != 1) {
        platform::showMessage("Connect error");
        return;
    }
    std::this_thread::sleep_for(settlePause);
    const bool delivered = sendAll(bytes);
    std::this_thread::sleep_for(settlePause);
    KWNetClose();
    if (!delivered)
        platform::showMessage("Send error");
}

} // namespace printer
