#pragma once
// The port-bound selector unit: TComSelect and TComComboBox (the serial port list they offer is
// the component's own, in serial/CPort.h).

#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "serial/ctl/ComSelect.h"
