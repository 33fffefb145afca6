#pragma once
// Description steps of the connection settings: the serial port object CP and its stored
// settings, the port-bound selectors and the IP address editor.

#include "app/DescriptionSteps.h"
#include "serial/ctl/ComSelect.h"

#include <functional>
#include <string>

namespace cport {
class TComPort;
}

namespace app {

// Creates the serial port object as a named child of the window (see ComPortComponent), kept
// loading until the whole description has been applied.
CreateStep createComPort(cport::TComPort* TForm1::*field);

// One stored setting of the serial port object, applied while the port is loading.
PropertyStep portSetting(std::string name, std::function<void(cport::TComPort&)> apply);

// The port property a selector lists and selects.
PropertyStep comProperty(cport::TComProperty property);
PropertyStep autoApply(bool autoApply);
// Binds a selector to the serial port object of this name, which must come earlier in the
// description. Applied last of the selector's steps, as a resolved reference is.
PropertyStep comPortReference(const QString& portName);

// The IP editor's dotted address.
PropertyStep ipString(const QString& address);
// The IP editor's OnChange.
PropertyStep onIPChange(TForm1::Handler handler);

} // namespace app
