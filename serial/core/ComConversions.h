#pragma once
// Text forms of the enumerated settings and their device values. The from-text conversions
// compare in ASCII upper case, whole strings, and fall back to a fixed default; they never fail.

#include "serial/core/ComTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cport {

std::string baudRateToText(TBaudRate value);
TBaudRate baudRateFromText(std::string_view text);
std::string stopBitsToText(TStopBits value);
TStopBits stopBitsFromText(std::string_view text);
std::string dataBitsToText(TDataBits value);
TDataBits dataBitsFromText(std::string_view text);
std::string parityToText(TParityBits value);
TParityBits parityFromText(std::string_view text);
std::string flowControlToText(TFlowControl value);
TFlowControl flowControlFromText(std::string_view text);
std::string dtrControlToText(TDTRFlowControl value);
TDTRFlowControl dtrControlFromText(std::string_view text);
std::string rtsControlToText(TRTSFlowControl value);
TRTSFlowControl rtsControlFromText(std::string_view text);

// "Yes" / "No"; only "YES" in any letter case reads as true.
std::string flagToText(bool value);
bool flagFromText(std::string_view text);

// Printable codes 33..127 as themselves, every other code as "#<decimal>".
std::string charToText(char value);
// "" gives 0; "#<integer>" gives its low 8 bits (0 when not an integer); else the first byte.
char charFromText(std::string_view text);

// Bits per second of a rate; brCustom stands for the port's custom rate.
std::int32_t baudRateValue(TBaudRate value, std::int32_t customBaudRate);
// Bits per character of the data-bits setting (5 to 8).
int dataBitsValue(TDataBits value);

// The device's event mask bits for a set of events, and back; unknown mask bits are ignored.
std::uint32_t eventsToMask(TComEvents events);
TComEvents maskToEvents(std::uint32_t mask);
// The mask bit of one event.
std::uint32_t eventMaskBit(TComEvent event);

} // namespace cport
