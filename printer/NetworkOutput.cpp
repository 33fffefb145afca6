#include "printer/NetworkOutput.h"

#include "platform/MessageBoxes.h"
#include "printer/NetworkWait.h"
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

// Sends every byte, in pieces the library's 32-bit length can carry; the count the printer
// acknowledged.
std::size_t sendAll(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t sent = 0;
    do {
        const auto piece = static_cast<std::int32_t>(
            std::min<std::size_t>(bytes.size() - sent, std::numeric_limits<std::int32_t>::max()));
        const std::int32_t delivered = KWNetSend(data + sent, piece);
        sent += static_cast<std::size_t>(std::max(delivered, 0));
        if (delivered < piece)
            break;
    } while (sent < bytes.size());
    return sent;
}

} // namespace

std::optional<std::size_t> sendNetwork(const std::string& address, const std::string& bytes)
{
    // Connecting and sending may take seconds: the library calls the wait hook meanwhile.
    const NetworkWait waiting;
    if (KWNetOpen(address.c_str(), connectSeconds, sendSeconds) != 1) {
        platform::showMessage("Connect error");
        return std::nullopt;
    }
    std::this_thread::sleep_for(settlePause);
    const std::size_t delivered = sendAll(bytes);
    std::this_thread::sleep_for(settlePause);
    KWNetClose();
    if (delivered < bytes.size())
        platform::showMessage("Send error");
    return delivered;
}

} // namespace printer
