#pragma once
// TComSelect: the logic of a list bound to one property of a serial port. It fills the list
// with every value the property can take, finds the port's current value in it, and stores
// (and, with auto apply, writes into the port) the value an entry names. No toolkit types: the
// list is reached through TComItems.

#include "serial/core/ComTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cport {

class TCustomComPort;

// Which port property a selector is bound to.
enum TComProperty : std::uint8_t {
    cpNone,
    cpPort,
    cpBaudRate,
    cpDataBits,
    cpStopBits,
    cpParity,
    cpFlowControl,
};

// The entry list a selector fills and reads (a combo box's items); the selector does not own it.
class TComItems {
public:
    virtual ~TComItems() = default;
    virtual int entryCount() const = 0;
    virtual std::string entry(int index) const = 0;
    // Replaces every entry.
    virtual void replaceEntries(const std::vector<std::string>& entries) = 0;
};

class TComSelect {
public:
    explicit TComSelect(TComItems& items)
        : m_items(items)
    {
    }

    TComProperty ComProperty() const { return m_property; }
    // Remembers the property and refills the list with its entries; when listing the ports
    // fails the property is still taken, the list stays empty and the error passes through.
    void bindProperty(TComProperty property);

    // The bound port (not owned), or nullptr; setting it only remembers it.
    TCustomComPort* ComPort() const { return m_port; }
    void setComPort(TCustomComPort* port) { m_port = port; }

    bool AutoApply() const { return m_autoApply; }
    void setAutoApply(bool value) { m_autoApply = value; }

    // Stores the value an entry text names (an unknown text gives the conversion's default;
    // nothing for cpNone), then applies it when auto apply is on.
    void takeText(const std::string& text);
    // Writes the stored value into the bound port through its setter (whose errors pass
    // through); nothing without a port or for cpNone.
    void applyToPort();
    // The index of the first entry naming the bound port's current value (ignoring letter
    // case), whose value is then stored; -1 when none does; no result without a port or for
    // cpNone.
    std::optional<int> findPortValue();
    // The index of the first entry equal to the text ignoring letter case, or -1.
    int findText(std::string_view text) const;

private:
    void store(const std::string& text);
    std::string portValueText() const;

    std::string m_portName;
    TBaudRate m_baudRate = TBaudRate(0);
    TDataBits m_dataBits = TDataBits(0);
    TStopBits m_stopBits = TStopBits(0);
    TParityBits m_parity = TParityBits(0);
    TFlowControl m_flowControl = TFlowControl(0);
    TComItems& m_items;
    TComProperty m_property = cpNone;
    TCustomComPort* m_port = nullptr;
    bool m_autoApply = false;
};

} // namespace cport
