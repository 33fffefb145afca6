#pragma once
// The stored description of the main window.

#include "app/WindowDescription.h"

namespace app {

// The window, its controls in creation order (parents before children) and their stored
// properties and handler bindings. Made without touching the GUI, so it may be built before
// the application object exists.
WindowDescription form1Description();

} // namespace app
