#include "serial/core/ComStreaming.h"

#include "serial/CPort.h"

#include <array>

namespace cport {

namespace {

constexpr std::array<const char*, 16> baudNames
    = { "brCustom", "br110", "br300", "br600", "br1200", "br2400", "br4800", "br9600", "br14400",
          "br19200", "br38400", "br56000", "br57600", "br115200", "br128000", "br256000" };
constexpr std::array<const char*, 3> stopBitsNames
    = { "sbOneStopBit", "sbOne5StopBits", "sbTwoStopBits" };
constexpr std::array<const char*, 4> dataBitsNames = { "dbFive", "dbSix", "dbSeven", "dbEight" };
constexpr std::array<const char*, 5> parityNames
    = { "prNone", "prOdd", "prEven", "prMark", "prSpace" };
constexpr std::array<const char*, 3> dtrNames = { "dtrDisable", "dtrEnable", "dtrHandshake" };
constexpr std::array<const char*, 4> rtsNames
    = { "rtsDisable", "rtsEnable", "rtsHandshake", "rtsToggle" };
constexpr std::array<const char*, 3> syncNames = { "smThreadSync", "smWindowSync", "smNone" };
constexpr std::array<const char*, 10> eventNames = { "evRxChar", "evTxEmpty", "evRxFlag", "evRing",
    "evBreak", "evCTS", "evDSR", "evError", "evRLSD", "evRx80Full" };

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string charValue(char c)
{
    const unsigned code = static_cast<unsigned char>(c);
    if (code > 32 && code < 127 && c != '\'')
        return std::string("'") + c + "'";
    return "#" + std::to_string(code);
}

std::string eventsValue(TComEvents events)
{
    std::string out = "[";
    for (std::size_t i = 0; i < eventNames.size(); ++i) {
        if (!events.contains(TComEvent(i)))
            continue;
        if (out.size() > 1)
            out += ", ";
        out += eventNames[i];
    }
    return out + "]";
}

class Writer {
public:
    void always(const char* name, std::string value)
    {
        m_out.push_back({ name, std::move(value) });
    }
    template <typename T>
    void unlessDefault(const char* name, T value, T fallback, std::string text)
    {
        if (value != fallback)
            always(name, std::move(text));
    }
    void flag(const char* name, bool value) { always(name, value ? "True" : "False"); }
    void flagUnlessFalse(const char* name, bool value)
    {
        unlessDefault(name, value, false, "True");
    }
    void integerUnlessDefault(const char* name, std::int32_t value, std::int32_t fallback)
    {
        unlessDefault(name, value, fallback, std::to_string(value));
    }
    void charUnlessDefault(const char* name, char value, char fallback)
    {
        unlessDefault(name, value, fallback, charValue(value));
    }
    std::vector<TStreamedProperty> take() { return std::move(m_out); }

private:
    std::vector<TStreamedProperty> m_out;
};

} // namespace

std::vector<TStreamedProperty> streamedProperties(const TCustomComPort& port)
{
    const TComParity& parity = port.Parity();
    const TComBuffer& buffer = port.Buffer();
    const TComFlowControl& flow = port.FlowControl();
    const TComTimeouts& timeouts = port.Timeouts();
    Writer w;
    w.flagUnlessFalse("Connected", port.Connected());
    w.always("BaudRate", baudNames[port.BaudRate()]);
    w.always("Port", quoted(port.Port()));
    w.always("Parity.Bits", parityNames[parity.Bits()]);
    w.flagUnlessFalse("Parity.Check", parity.Check());
    w.flagUnlessFalse("Parity.Replace", parity.Replace());
    w.charUnlessDefault("Parity.ReplaceChar", parity.ReplaceChar(), 0);
    w.always("StopBits", stopBitsNames[port.StopBits()]);
    w.always("DataBits", dataBitsNames[port.DataBits()]);
    w.flagUnlessFalse("DiscardNull", port.DiscardNull());
    w.charUnlessDefault("EventChar", port.EventChar(), 0);
    w.always("Events", eventsValue(port.Events()));
    w.integerUnlessDefault("Buffer.InputSize", buffer.InputSize(), 1024);
    w.integerUnlessDefault("Buffer.OutputSize", buffer.OutputSize(), 1024);
    w.flag("FlowControl.OutCTSFlow", flow.OutCTSFlow());
    w.flag("FlowControl.OutDSRFlow", flow.OutDSRFlow());
    w.always("FlowControl.ControlDTR", dtrNames[flow.ControlDTR()]);
    w.always("FlowControl.ControlRTS", rtsNames[flow.ControlRTS()]);
    w.flag("FlowControl.XonXoffOut", flow.XonXoffOut());
    w.flag("FlowControl.XonXoffIn", flow.XonXoffIn());
    w.flagUnlessFalse("FlowControl.DSRSensitivity", flow.DSRSensitivity());
    w.flagUnlessFalse("FlowControl.TxContinueOnXoff", flow.TxContinueOnXoff());
    w.charUnlessDefault("FlowControl.XonChar", flow.XonChar(), 17);
    w.charUnlessDefault("FlowControl.XoffChar", flow.XoffChar(), 19);
    w.integerUnlessDefault("Timeouts.ReadInterval", timeouts.ReadInterval(), -1);
    w.integerUnlessDefault("Timeouts.ReadTotalMultiplier", timeouts.ReadTotalMultiplier(), 0);
    w.integerUnlessDefault("Timeouts.ReadTotalConstant", timeouts.ReadTotalConstant(), 0);
    w.integerUnlessDefault("Timeouts.WriteTotalMultiplier", timeouts.WriteTotalMultiplier(), 100);
    w.integerUnlessDefault("Timeouts.WriteTotalConstant", timeouts.WriteTotalConstant(), 1000);
    w.unlessDefault("SyncMethod", port.SyncMethod(), smThreadSync, syncNames[port.SyncMethod()]);
    return w.take();
}

} // namespace cport
