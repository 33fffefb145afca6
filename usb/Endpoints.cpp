#include "usb/Endpoints.h"

#include <cstdio>

namespace usb {

const char* const kOneWayVerdict = "one-way printer: no status possible";

namespace {

std::string describe(const char* direction, const Endpoint& endpoint)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s 0x%02x (%u bytes)", direction, endpoint.address,
        static_cast<unsigned>(endpoint.maxPacketSize));
    return text;
}

} // namespace

std::optional<EndpointChoice> chooseEndpoints(const Interface& interface)
{
    std::optional<Endpoint> out;
    std::optional<Endpoint> in;
    for (const Endpoint& endpoint : interface.endpoints) {
        if (!endpoint.isBulk())
            continue;
        std::optional<Endpoint>& slot = endpoint.isIn() ? in : out;
        if (!slot)
            slot = endpoint;
    }
    if (!out)
        return std::nullopt;
    return EndpointChoice { *out, in };
}

bool isPrinterInterface(const Interface& interface)
{
    if (interface.interfaceClass == kPrinterClass)
        return true;
    return interface.interfaceClass == kVendorClass && chooseEndpoints(interface).has_value();
}

std::string directionVerdict(const EndpointChoice& endpoints)
{
    return endpoints.in ? "two-way" : kOneWayVerdict;
}

std::string endpointText(const EndpointChoice& endpoints)
{
    return describe("OUT", endpoints.out) + ", "
        + (endpoints.in ? describe("IN", *endpoints.in) : std::string("no IN"));
}

} // namespace usb
