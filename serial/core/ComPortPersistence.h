#pragma once
// Saving a port's settings in a settings store and restoring them: one named value per
// setting, enumerations in their text forms (ComConversions.h), sizes and time limits as
// integers. The port's storedGroups choose which groups take part; groups always go in the
// order basic, others, parity, buffer, timeouts, flow control, and the keys of each group in a
// fixed order, so an open port sees the changes of a restore in a known sequence.
//
// TCustomComPort's storeToIniFile, loadFromIniFile, storeToRegistry and loadFromRegistry are
// these two functions over a section of a settings file or the registry's open key.

namespace platform {
class TSettingsStore;
}

namespace cport {

class TCustomComPort;

// Writes the selected keys; nothing else in the store is written or removed. "CustomBaudRate"
// is written only when BaudRate is brCustom.
void storeComSettings(const TCustomComPort& port, platform::TSettingsStore& store);

// Reads the selected keys one by one and hands each value to the port's ordinary setter, so an
// open port applies every change at once and a changed "Port" reopens it before the next key
// is read. A missing key keeps the setting where the store has defaults (a settings file),
// except "CustomBaudRate", which then becomes 9600; it is read only when the "BaudRate" just
// read gave brCustom. "FlowControl" sets the summary; the flow-control group, when selected,
// is read after it and has the last word. An error of the store or of a setter stops the
// load; the settings read before it stay applied.
void loadComSettings(TCustomComPort& port, const platform::TSettingsStore& store);

} // namespace cport
