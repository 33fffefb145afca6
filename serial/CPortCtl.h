#pragma once
// The port-bound selector unit: the serial port list, TComSelect and TComComboBox.

#include "serial/ComComboBox.h"
#include "serial/ComSelect.h"
#include "serial/ListSerialPorts.h"
