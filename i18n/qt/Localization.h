#pragma once
// Localization start and end for a Qt program: the translator module plus the redirection of
// Qt's stock texts through it.

#include "i18n/gnugettext.h"

namespace gnugettext {

// Starts the translator and installs the THook on the application. Call on the GUI thread
// right after the QApplication is created, before any other module starts.
void startLocalization(const ModuleSetup& setup = thisExecutable());

// Removes the THook and ends the translator. Call on the GUI thread before the QApplication
// is destroyed. Does nothing when localization is not running.
void endLocalization();

} // namespace gnugettext
