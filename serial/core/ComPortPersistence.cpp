// The stored keys of a port, in processing order, and the port's four persistence operations.
#include "serial/core/ComPortPersistence.h"

#include "platform/IniFile.h"
#include "platform/SettingsStore.h"
#include "serial/CPort.h"
#include "serial/core/ComConversions.h"

#include <string_view>

namespace cport {

namespace {

using Port = TCustomComPort;

// What "CustomBaudRate" becomes when a settings file lacks it.
constexpr std::int32_t defaultCustomBaudRate = 9600;

// One stored setting: its group, its key and its stored form, either text or integer.
struct StoredKey {
    TStoredGroup group;
    const char* name;
    std::string (*toText)(const Port&);
    void (*fromText)(Port&, std::string_view);
    std::int32_t (*toInteger)(const Port&);
    void (*fromInteger)(Port&, std::int32_t);
    // "CustomBaudRate": stored and read only with brCustom, and defaults to 9600.
    bool customRateOnly;
};

constexpr StoredKey text(TStoredGroup group, const char* name, std::string (*get)(const Port&),
    void (*set)(Port&, std::string_view))
{
    return { group, name, get, set, nullptr, nullptr, false };
}

constexpr StoredKey integer(TStoredGroup group, const char* name, std::int32_t (*get)(const Port&),
    void (*set)(Port&, std::int32_t), bool customRateOnly = false)
{
    return { group, name, nullptr, nullptr, get, set, customRateOnly };
}

// Groups in the order basic, others, parity, buffer, timeouts, flow control; the basic
// "FlowControl" summary comes before the individual flow-control keys, which refine it.
const StoredKey storedKeys[] = {
    text(
        stBasic, "Port", [](const Port& p) { return p.Port(); },
        [](Port& p, std::string_view t) { p.setPort(std::string(t)); }),
    text(
        stBasic, "BaudRate", [](const Port& p) { return baudRateToText(p.BaudRate()); },
        [](Port& p, std::string_view t) { p.setBaudRate(baudRateFromText(t)); }),
    integer(
        stBasic, "CustomBaudRate", [](const Port& p) { return p.CustomBaudRate(); },
        [](Port& p, std::int32_t v) { p.setCustomBaudRate(v); }, true),
    text(
        stBasic, "StopBits", [](const Port& p) { return stopBitsToText(p.StopBits()); },
        [](Port& p, std::string_view t) { p.setStopBits(stopBitsFromText(t)); }),
    text(
        stBasic, "DataBits", [](const Port& p) { return dataBitsToText(p.DataBits()); },
        [](Port& p, std::string_view t) { p.setDataBits(dataBitsFromText(t)); }),
    text(
        stBasic, "Parity", [](const Port& p) { return parityToText(p.Parity().Bits()); },
        [](Port& p, std::string_view t) { p.Parity().setBits(parityFromText(t)); }),
    text(
        stBasic, "FlowControl",
        [](const Port& p) { return flowControlToText(p.FlowControl().FlowControl()); },
        [](Port& p, std::string_view t) {
            p.FlowControl().setFlowControl(flowControlFromText(t));
        }),

    text(
        stOthers, "EventChar", [](const Port& p) { return charToText(p.EventChar()); },
        [](Port& p, std::string_view t) { p.setEventChar(charFromText(t)); }),
    text(
        stOthers, "DiscardNull", [](const Port& p) { return flagToText(p.DiscardNull()); },
        [](Port& p, std::string_view t) { p.setDiscardNull(flagFromText(t)); }),

    text(
        stParity, "Parity.Check", [](const Port& p) { return flagToText(p.Parity().Check()); },
        [](Port& p, std::string_view t) { p.Parity().setCheck(flagFromText(t)); }),
    text(
        stParity, "Parity.Replace", [](const Port& p) { return flagToText(p.Parity().Replace()); },
        [](Port& p, std::string_view t) { p.Parity().setReplace(flagFromText(t)); }),
    text(
        stParity, "Parity.ReplaceChar",
        [](const Port& p) { return charToText(p.Parity().ReplaceChar()); },
        [](Port& p, std::string_view t) { p.Parity().setReplaceChar(charFromText(t)); }),

    integer(
        stBuffer, "Buffer.OutputSize", [](const Port& p) { return p.Buffer().OutputSize(); },
        [](Port& p, std::int32_t v) { p.Buffer().setOutputSize(v); }),
    integer(
        stBuffer, "Buffer.InputSize", [](const Port& p) { return p.Buffer().InputSize(); },
        [](Port& p, std::int32_t v) { p.Buffer().setInputSize(v); }),

    integer(
        stTimeouts, "Timeouts.ReadInterval",
        [](const Port& p) { return p.Timeouts().ReadInterval(); },
        [](Port& p, std::int32_t v) { p.Timeouts().setReadInterval(v); }),
    integer(
        stTimeouts, "Timeouts.ReadTotalConstant",
        [](const Port& p) { return p.Timeouts().ReadTotalConstant(); },
        [](Port& p, std::int32_t v) { p.Timeouts().setReadTotalConstant(v); }),
    integer(
        stTimeouts, "Timeouts.ReadTotalMultiplier",
        [](const Port& p) { return p.Timeouts().ReadTotalMultiplier(); },
        [](Port& p, std::int32_t v) { p.Timeouts().setReadTotalMultiplier(v); }),
    integer(
        stTimeouts, "Timeouts.WriteTotalConstant",
        [](const Port& p) { return p.Timeouts().WriteTotalConstant(); },
        [](Port& p, std::int32_t v) { p.Timeouts().setWriteTotalConstant(v); }),
    integer(
        stTimeouts, "Timeouts.WriteTotalMultiplier",
        [](const Port& p) { return p.Timeouts().WriteTotalMultiplier(); },
        [](Port& p, std::int32_t v) { p.Timeouts().setWriteTotalMultiplier(v); }),

    text(
        stFlowControl, "FlowControl.ControlRTS",
        [](const Port& p) { return rtsControlToText(p.FlowControl().ControlRTS()); },
        [](Port& p, std::string_view t) { p.FlowControl().setControlRTS(rtsControlFromText(t)); }),
    text(
        stFlowControl, "FlowControl.ControlDTR",
        [](const Port& p) { return dtrControlToText(p.FlowControl().ControlDTR()); },
        [](Port& p, std::string_view t) { p.FlowControl().setControlDTR(dtrControlFromText(t)); }),
    text(
        stFlowControl, "FlowControl.DSRSensitivity",
        [](const Port& p) { return flagToText(p.FlowControl().DSRSensitivity()); },
        [](Port& p, std::string_view t) { p.FlowControl().setDSRSensitivity(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.OutCTSFlow",
        [](const Port& p) { return flagToText(p.FlowControl().OutCTSFlow()); },
        [](Port& p, std::string_view t) { p.FlowControl().setOutCTSFlow(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.OutDSRFlow",
        [](const Port& p) { return flagToText(p.FlowControl().OutDSRFlow()); },
        [](Port& p, std::string_view t) { p.FlowControl().setOutDSRFlow(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.TxContinueOnXoff",
        [](const Port& p) { return flagToText(p.FlowControl().TxContinueOnXoff()); },
        [](Port& p, std::string_view t) { p.FlowControl().setTxContinueOnXoff(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.XonXoffIn",
        [](const Port& p) { return flagToText(p.FlowControl().XonXoffIn()); },
        [](Port& p, std::string_view t) { p.FlowControl().setXonXoffIn(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.XonXoffOut",
        [](const Port& p) { return flagToText(p.FlowControl().XonXoffOut()); },
        [](Port& p, std::string_view t) { p.FlowControl().setXonXoffOut(flagFromText(t)); }),
    text(
        stFlowControl, "FlowControl.XoffChar",
        [](const Port& p) { return charToText(p.FlowControl().XoffChar()); },
        [](Port& p, std::string_view t) { p.FlowControl().setXoffChar(charFromText(t)); }),
    text(
        stFlowControl, "FlowControl.XonChar",
        [](const Port& p) { return charToText(p.FlowControl().XonChar()); },
        [](Port& p, std::string_view t) { p.FlowControl().setXonChar(charFromText(t)); }),
};

// Whether the key takes part now. For "CustomBaudRate" during a load, BaudRate already holds
// the value just read for "BaudRate", which precedes it.
bool takesPart(const StoredKey& key, const Port& port)
{
    return port.storedGroups().contains(key.group)
        && (!key.customRateOnly || port.BaudRate() == brCustom);
}

} // namespace

void storeComSettings(const TCustomComPort& port, platform::TSettingsStore& store)
{
    for (const StoredKey& key : storedKeys) {
        if (!takesPart(key, port))
            continue;
        if (key.toText)
            store.writeString(key.name, key.toText(port));
        else
            store.writeInteger(key.name, key.toInteger(port));
    }
}

void loadComSettings(TCustomComPort& port, const platform::TSettingsStore& store)
{
    for (const StoredKey& key : storedKeys) {
        if (!takesPart(key, port))
            continue;
        // The current setting in its stored form is the fallback, so a key missing from a
        // settings file leaves the setting as it is.
        if (key.toText) {
            key.fromText(port, store.readString(key.name, key.toText(port)));
        } else {
            const std::int32_t fallback
                = key.customRateOnly ? defaultCustomBaudRate : key.toInteger(port);
            key.fromInteger(port, store.readInteger(key.name, fallback));
        }
    }
}

void TCustomComPort::storeToRegistry(platform::TRegistry& registry) const
{
    platform::TRegistryKeyStore store(registry);
    storeComSettings(*this, store);
}

void TCustomComPort::storeToIniFile(platform::TIniFile& file, const std::string& section) const
{
    platform::TIniSectionStore store(file, section);
    // One replacement of the file for all keys: either every key is written or none.
    file.updateAtOnce([&] { storeComSettings(*this, store); });
}

void TCustomComPort::loadFromRegistry(platform::TRegistry& registry)
{
    loadComSettings(*this, platform::TRegistryKeyStore(registry));
}

void TCustomComPort::loadFromIniFile(platform::TIniFile& file, const std::string& section)
{
    loadComSettings(*this, platform::TIniSectionStore(file, section));
}

} // namespace cport
