#include "cli/SerialArgument.h"

#include "cli/DecimalText.h"
#include "cli/UsageError.h"
#include "serial/CPort.h"

#include <array>
#include <utility>

namespace cli {

namespace {

using namespace cport;

constexpr std::int64_t kLowestBaud = 50;
constexpr std::int64_t kHighestBaud = 4000000;

// The rates the port object names; any other is its custom rate.
constexpr std::array<std::pair<std::int32_t, TBaudRate>, 15> kNamedRates { {
    { 110, br110 },
    { 300, br300 },
    { 600, br600 },
    { 1200, br1200 },
    { 2400, br2400 },
    { 4800, br4800 },
    { 9600, br9600 },
    { 14400, br14400 },
    { 19200, br19200 },
    { 38400, br38400 },
    { 56000, br56000 },
    { 57600, br57600 },
    { 115200, br115200 },
    { 128000, br128000 },
    { 256000, br256000 },
} };

std::int32_t parseBaud(std::string_view text)
{
    const auto value = parseDecimal(text);
    if (!value || *value < kLowestBaud || *value > kHighestBaud)
        throw UsageError("invalid baud rate '" + std::string(text) + "' (50 to 4000000)");
    return static_cast<std::int32_t>(*value);
}

std::optional<TParityBits> parityFromLetter(char letter)
{
    switch (letter) {
    case 'N':
    case 'n':
        return prNone;
    case 'E':
    case 'e':
        return prEven;
    case 'O':
    case 'o':
        return prOdd;
    case 'M':
    case 'm':
        return prMark;
    case 'S':
    case 's':
        return prSpace;
    }
    return std::nullopt;
}

// "8N1", "7E2", "5N1.5"; false when the text is no framing.
bool parseFraming(std::string_view text, SerialSettings& settings)
{
    if (text.size() < 3 || text[0] < '5' || text[0] > '8')
        return false;
    const auto parity = parityFromLetter(text[1]);
    const auto stop = text.substr(2);
    if (!parity || (stop != "1" && stop != "1.5" && stop != "2"))
        return false;
    settings.dataBits = static_cast<TDataBits>(dbFive + (text[0] - '5'));
    settings.parity = *parity;
    settings.stopBits = stop == "1" ? sbOneStopBit : stop == "2" ? sbTwoStopBits : sbOne5StopBits;
    return true;
}

std::optional<FlowControl> flowFromText(std::string_view text)
{
    if (text == "none")
        return FlowControl::None;
    if (text == "rtscts")
        return FlowControl::RtsCts;
    if (text == "xonxoff")
        return FlowControl::XonXoff;
    if (text == "dtrdsr")
        return FlowControl::DtrDsr;
    return std::nullopt;
}

// "8N1,7E1" or "none,rtscts" cannot both hold: the second of a kind is refused.
void refuseSecond(std::string_view& first, std::string_view part, const char* kind)
{
    if (!first.empty())
        throw UsageError(std::string("conflicting ") + kind + " '" + std::string(first) + "' and '"
            + std::string(part) + "'");
    first = part;
}

// BAUD[,FRAMING][,FLOW]
void parseLineSettings(std::string_view text, SerialSettings& settings)
{
    const auto comma = text.find(',');
    settings.baudRate = parseBaud(text.substr(0, comma));
    std::string_view rest = comma == std::string_view::npos ? "" : text.substr(comma + 1);
    if (comma != std::string_view::npos && rest.empty())
        throw UsageError("missing framing after ',' in '" + std::string(text) + "'");
    std::string_view framing;
    std::string_view flowWord;
    while (!rest.empty()) {
        const auto next = rest.find(',');
        const auto part = rest.substr(0, next);
        rest = next == std::string_view::npos ? "" : rest.substr(next + 1);
        if (parseFraming(part, settings)) {
            refuseSecond(framing, part, "framings");
            continue;
        }
        if (const auto flow = flowFromText(part)) {
            refuseSecond(flowWord, part, "flow controls");
            settings.flow = *flow;
            continue;
        }
        throw UsageError("invalid framing or flow control '" + std::string(part)
            + "' (framing such as 8N1, 7E1, 8N2; flow none, rtscts, xonxoff or dtrdsr)");
    }
}

} // namespace

SerialSettings parseSerialArgument(std::string_view argument)
{
    SerialSettings settings;
    const auto colon = argument.rfind(':');
    settings.port = std::string(argument.substr(0, colon));
    if (settings.port.empty())
        throw UsageError("--com needs a port name, such as ttyUSB0:19200,8N1");
    if (colon != std::string_view::npos)
        parseLineSettings(argument.substr(colon + 1), settings);
    return settings;
}

void applySerialSettings(const SerialSettings& settings, TCustomComPort& port)
{
    port.setPort(settings.port);
    TBaudRate rate = brCustom;
    for (const auto& [bitsPerSecond, named] : kNamedRates)
        if (bitsPerSecond == settings.baudRate)
            rate = named;
    port.setCustomBaudRate(settings.baudRate);
    port.setBaudRate(rate);
    port.setDataBits(settings.dataBits);
    port.setStopBits(settings.stopBits);
    port.Parity().setBits(settings.parity);
    port.setEvents({});
    auto& flow = port.FlowControl();
    flow.setFlowControl(settings.flow == FlowControl::RtsCts ? fcHardware
            : settings.flow == FlowControl::XonXoff          ? fcSoftware
                                                             : fcNone);
    const bool dtrDsr = settings.flow == FlowControl::DtrDsr;
    flow.setOutDSRFlow(dtrDsr);
    flow.setControlDTR(dtrDsr ? dtrHandshake : TComFlowControl().ControlDTR());
}

} // namespace cli
