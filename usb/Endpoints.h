#pragma once
// The parts of a USB interface's descriptors that decide whether it is a printer and how to
// talk to it: the bulk OUT endpoint that takes the print data and the bulk IN endpoint, where
// there is one, that carries the replies. Receipt printers put them at many addresses (OUT
// 0x01, 0x02, 0x03; IN 0x81, 0x82, 0x84) with 64- or 512-byte packets, so they are always
// read from the descriptors.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace usb {

inline constexpr std::uint8_t kPrinterClass = 0x07;
inline constexpr std::uint8_t kVendorClass = 0xFF;

// "one-way printer: no status possible"
extern const char* const kOneWayVerdict;

struct Endpoint {
    std::uint8_t address = 0; // bit 7 set: IN
    std::uint8_t attributes = 0; // bits 0-1: transfer type
    std::uint16_t maxPacketSize = 0;
    bool isBulk() const { return (attributes & 0x03) == 0x02; }
    bool isIn() const { return (address & 0x80) != 0; }
};

struct Interface {
    std::uint8_t number = 0;
    std::uint8_t alternate = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t subclass = 0;
    std::uint8_t protocol = 0;
    std::vector<Endpoint> endpoints;
};

struct EndpointChoice {
    Endpoint out;
    std::optional<Endpoint> in; // nullopt: nothing can come back
};

// The first bulk OUT endpoint and the first bulk IN endpoint of the interface; nullopt when
// there is no bulk OUT endpoint (nothing can be printed through it).
std::optional<EndpointChoice> chooseEndpoints(const Interface& interface);

// A printer-class interface, or a vendor-class one with a bulk OUT endpoint (many receipt
// printers in their default USB mode).
bool isPrinterInterface(const Interface& interface);

// "two-way" or the one-way verdict, decided from the endpoints alone: a printer-class
// protocol byte that claims a bidirectional interface is not taken on trust.
std::string directionVerdict(const EndpointChoice& endpoints);

// "OUT 0x03 (64 bytes), IN 0x81 (64 bytes)"; "OUT 0x01 (512 bytes), no IN".
std::string endpointText(const EndpointChoice& endpoints);

} // namespace usb
