#include "usb/UsbLink.h"

#include <algorithm>

namespace usb {

namespace {

// As long as the other transports wait for a printer that takes nothing.
constexpr std::chrono::milliseconds kWriteLimit(7000);

} // namespace

UsbLink::UsbLink(std::unique_ptr<UsbTransport> transport)
    : m_transport(std::move(transport))
{
}

void UsbLink::write(const std::string& bytes)
{
    const std::size_t taken = m_transport->bulkOut(bytes, kWriteLimit);
    if (taken < bytes.size())
        throw printer::SendFailure("Write timeout", taken);
}

std::string UsbLink::read(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    if (!canAnswer())
        return {};
    // A bulk IN transfer must take whole packets, or the device's last one overflows.
    const std::size_t packet = std::max<std::size_t>(m_transport->endpoints().in->maxPacketSize, 1);
    const std::size_t size = std::max(packet, (maxBytes + packet - 1) / packet * packet);
    return m_transport->bulkIn(size, limit);
}

} // namespace usb
