#pragma once
// The port-bound selector unit: the serial port list, TComSelect and TComComboBox.

#include "serial/ctl/ComComboBox.h"
#include "serial/ctl/ComSelect.h"
#include "serial/ctl/ListSerialPorts.h"
