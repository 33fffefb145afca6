#pragma once
// The program's run from the start of the toolkit to the end of the message loop.

#include "app/WindowDescription.h"

namespace app {

// The program entry: starts the toolkit, sets the application title, builds the main window
// from description, runs its OnCreate handler, shows it and runs the message loop until it is
// closed; returns the exit code, 0. When building the window fails, shows the "Application
// Error" box and returns 1 without running OnCreate. The message service is the caller's.
int runQuillet(int& argc, char** argv, const WindowDescription& description);

} // namespace app
