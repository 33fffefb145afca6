#include "serial/ctl/ComSelect.h"

#include "platform/AsciiCase.h"
#include "serial/CPort.h"
#include "serial/core/ComConversions.h"

namespace cport {

namespace {

// The text of every member from ordinal 0 to `last`, so entry i always names ordinal i.
template <typename E> std::vector<std::string> memberTexts(std::string (*toText)(E), E last)
{
    std::vector<std::string> texts;
    for (int ordinal = 0; ordinal <= int(last); ++ordinal)
        texts.push_back(toText(E(ordinal)));
    return texts;
}

// The entries of a property: the serial port names for cpPort, none for cpNone, else the text
// of every member of the enumeration.
std::vector<std::string> propertyEntries(TComProperty property)
{
    switch (property) {
    case cpNone:
        return {};
    case cpPort: {
        std::vector<std::string> names;
        listSerialPorts(names);
        return names;
    }
    case cpBaudRate:
        return memberTexts(baudRateToText, br256000);
    case cpDataBits:
        return memberTexts(dataBitsToText, dbEight);
    case cpStopBits:
        return memberTexts(stopBitsToText, sbTwoStopBits);
    case cpParity:
        return memberTexts(parityToText, prSpace);
    case cpFlowControl:
        return memberTexts(flowControlToText, fcCustom);
    }
    return {};
}

} // namespace

void TComSelect::bindProperty(TComProperty property)
{
    m_property = property;
    m_items.replaceEntries({});
    m_items.replaceEntries(propertyEntries(property));
}

void TComSelect::takeText(const std::string& text)
{
    store(text);
    if (m_autoApply)
        applyToPort();
}

void TComSelect::applyToPort()
{
    if (!m_port)
        return;
    switch (m_property) {
    case cpNone:
        break;
    case cpPort:
        m_port->setPort(m_portName);
        break;
    case cpBaudRate:
        m_port->setBaudRate(m_baudRate);
        break;
    case cpDataBits:
        m_port->setDataBits(m_dataBits);
        break;
    case cpStopBits:
        m_port->setStopBits(m_stopBits);
        break;
    case cpParity:
        m_port->Parity().setBits(m_parity);
        break;
    case cpFlowControl:
        m_port->FlowControl().setFlowControl(m_flowControl);
        break;
    }
}

std::optional<int> TComSelect::findPortValue()
{
    if (!m_port || m_property == cpNone)
        return std::nullopt;
    const int index = findText(portValueText());
    if (index >= 0)
        store(m_items.entry(index));
    return index;
}

int TComSelect::findText(std::string_view text) const
{
    const int count = m_items.entryCount();
    for (int index = 0; index < count; ++index) {
        if (platform::equalIgnoringCase(m_items.entry(index), text))
            return index;
    }
    return -1;
}

void TComSelect::store(const std::string& text)
{
    switch (m_property) {
    case cpNone:
        break;
    case cpPort:
        m_portName = text;
        break;
    case cpBaudRate:
        m_baudRate = baudRateFromText(text);
        break;
    case cpDataBits:
        m_dataBits = dataBitsFromText(text);
        break;
    case cpStopBits:
        m_stopBits = stopBitsFromText(text);
        break;
    case cpParity:
        m_parity = parityFromText(text);
        break;
    case cpFlowControl:
        m_flowControl = flowControlFromText(text);
        break;
    }
}

// The bound port's current value in the text form its entries use.
std::string TComSelect::portValueText() const
{
    switch (m_property) {
    case cpNone:
        break;
    case cpPort:
        return m_port->Port();
    case cpBaudRate:
        return baudRateToText(m_port->BaudRate());
    case cpDataBits:
        return dataBitsToText(m_port->DataBits());
    case cpStopBits:
        return stopBitsToText(m_port->StopBits());
    case cpParity:
        return parityToText(m_port->Parity().Bits());
    case cpFlowControl:
        return flowControlToText(m_port->FlowControl().FlowControl());
    }
    return {};
}

} // namespace cport
