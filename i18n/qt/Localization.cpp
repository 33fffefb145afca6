#include "i18n/qt/Localization.h"

#include "i18n/qt/THook.h"

#include <QCoreApplication>

#include <memory>

namespace gnugettext {

namespace {

// Only the GUI thread starts and ends localization.
std::unique_ptr<THook>& installedHook()
{
    static std::unique_ptr<THook> hook;
    return hook;
}

} // namespace

void startLocalization(const ModuleSetup& setup)
{
    endLocalization();
    startGnuGettext(setup);
    installedHook() = std::make_unique<THook>();
    QCoreApplication::installTranslator(installedHook().get());
}

void endLocalization()
{
    std::unique_ptr<THook>& hook = installedHook();
    if (!hook)
        return;
    // Removed before the translator ends, so no stock text reaches an ended module.
    QCoreApplication::removeTranslator(hook.get());
    hook.reset();
    endGnuGettext();
}

} // namespace gnugettext
