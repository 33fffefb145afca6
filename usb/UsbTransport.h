#pragma once
// The narrow way to a claimed USB printer interface: bulk transfers on the endpoints its
// descriptors name. The libusb adapter implements it; tests may too.

#include "usb/Endpoints.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace usb {

class UsbTransport {
public:
    virtual ~UsbTransport() = default;
    virtual const EndpointChoice& endpoints() const = 0;
    // Writes on bulk OUT; returns how many bytes the device took (all of them unless it stopped
    // taking: took nothing for `limit`). Raises on an unplug or another failure.
    virtual std::size_t bulkOut(std::string_view bytes, std::chrono::milliseconds limit) = 0;
    // Reads one transfer of up to `maxBytes` from bulk IN; empty when nothing came within
    // `limit`. Never called when there is no IN endpoint.
    virtual std::string bulkIn(std::size_t maxBytes, std::chrono::milliseconds limit) = 0;
};

} // namespace usb
