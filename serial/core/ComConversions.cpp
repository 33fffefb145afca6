#include "serial/core/ComConversions.h"

#include "platform/AsciiCase.h"

#include "platform/IntegerText.h"

#include <array>
#include <span>

namespace cport {

namespace {

constexpr std::array<const char*, 16> baudTexts = { "Custom", "110", "300", "600", "1200", "2400",
    "4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200", "128000", "256000" };
constexpr std::array<std::int32_t, 16> baudValues = { 0, 110, 300, 600, 1200, 2400, 4800, 9600,
    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000 };
constexpr std::array<const char*, 3> stopBitsTexts = { "1", "1.5", "2" };
constexpr std::array<const char*, 4> dataBitsTexts = { "5", "6", "7", "8" };
constexpr std::array<const char*, 5> parityTexts = { "None", "Odd", "Even", "Mark", "Space" };
constexpr std::array<const char*, 4> flowTexts = { "Hardware", "Software", "None", "Custom" };
constexpr std::array<const char*, 3> dtrTexts = { "Disable", "Enable", "Handshake" };
constexpr std::array<const char*, 4> rtsTexts = { "Disable", "Enable", "Handshake", "Toggle" };

// Mask bit of each event, by ordinal.
constexpr std::array<std::uint32_t, 10> eventMaskBits
    = { 0x0001, 0x0004, 0x0002, 0x0100, 0x0040, 0x0008, 0x0010, 0x0080, 0x0020, 0x0400 };

// The first member whose text matches, in ordinal order, or the fallback.
template <typename E>
E fromText(std::string_view text, std::span<const char* const> texts, E fallback)
{
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (platform::equalIgnoringCase(text, texts[i]))
            return E(i);
    }
    return fallback;
}

template <typename E> std::string toText(E value, std::span<const char* const> texts)
{
    const std::size_t index = std::size_t(value);
    return index < texts.size() ? texts[index] : "";
}

} // namespace

std::string baudRateToText(TBaudRate value)
{
    return toText(value, baudTexts);
}
TBaudRate baudRateFromText(std::string_view text)
{
    return fromText(text, baudTexts, br9600);
}
std::string stopBitsToText(TStopBits value)
{
    return toText(value, stopBitsTexts);
}
TStopBits stopBitsFromText(std::string_view text)
{
    return fromText(text, stopBitsTexts, sbOneStopBit);
}
std::string dataBitsToText(TDataBits value)
{
    return toText(value, dataBitsTexts);
}
TDataBits dataBitsFromText(std::string_view text)
{
    return fromText(text, dataBitsTexts, dbEight);
}
std::string parityToText(TParityBits value)
{
    return toText(value, parityTexts);
}
TParityBits parityFromText(std::string_view text)
{
    return fromText(text, parityTexts, prNone);
}
std::string flowControlToText(TFlowControl value)
{
    return toText(value, flowTexts);
}
TFlowControl flowControlFromText(std::string_view text)
{
    return fromText(text, flowTexts, fcCustom);
}
std::string dtrControlToText(TDTRFlowControl value)
{
    return toText(value, dtrTexts);
}
TDTRFlowControl dtrControlFromText(std::string_view text)
{
    return fromText(text, dtrTexts, dtrDisable);
}
std::string rtsControlToText(TRTSFlowControl value)
{
    return toText(value, rtsTexts);
}
TRTSFlowControl rtsControlFromText(std::string_view text)
{
    return fromText(text, rtsTexts, rtsDisable);
}

std::string flagToText(bool value)
{
    return value ? "Yes" : "No";
}
bool flagFromText(std::string_view text)
{
    return platform::equalIgnoringCase(text, "YES");
}

std::string charToText(char value)
{
    const unsigned code = static_cast<unsigned char>(value);
    if (code >= 33 && code <= 127)
        return std::string(1, value);
    return "#" + std::to_string(code);
}

char charFromText(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text[0] == '#' && text.size() >= 2) {
        const auto number = platform::parseInteger(text.substr(1));
        return number ? char(static_cast<std::uint32_t>(*number) & 0xFF) : char(0);
    }
    return text[0];
}

std::int32_t baudRateValue(TBaudRate value, std::int32_t customBaudRate)
{
    if (value == brCustom || std::size_t(value) >= baudValues.size())
        return customBaudRate;
    return baudValues[value];
}

int dataBitsValue(TDataBits value)
{
    return 5 + int(value);
}

std::uint32_t eventMaskBit(TComEvent event)
{
    return eventMaskBits[event];
}

std::uint32_t eventsToMask(TComEvents events)
{
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < eventMaskBits.size(); ++i) {
        if (events.contains(TComEvent(i)))
            mask |= eventMaskBits[i];
    }
    return mask;
}

TComEvents maskToEvents(std::uint32_t mask)
{
    TComEvents events;
    for (std::size_t i = 0; i < eventMaskBits.size(); ++i) {
        if (mask & eventMaskBits[i])
            events += TComEvent(i);
    }
    return events;
}

} // namespace cport
