#include "app/RunQuillet.h"

#include "app/FontConfigWarmUp.h"
#include "app/TForm1.h"
#include "i18n/qt/Localization.h"
#include "platform/ErrorReport.h"
#include "platform/MessageBoxes.h"
#include "serial/ComApplication.h"
#include "serial/ctl/QtSyncWakeUp.h"

#include <QApplication>
#include <QFileInfo>

namespace app {

namespace {

const char* const applicationTitle = "Quillet v1.0";

std::unique_ptr<TForm1> buildMainWindow(const WindowDescription& description)
{
    try {
        return TForm1::create(description);
    } catch (const std::exception& error) {
        const std::string module
            = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
        // The address of the code that was reading the description when the error came up.
        const auto* address = reinterpret_cast<const void*>(&applyDescription);
        platform::showApplicationErrorMessage(
            platform::applicationErrorText(error, module, address));
        return nullptr;
    }
}

// Localization runs from right after the toolkit starts until just before the toolkit ends, so
// every stock text the window shows passes through the translator.
class LocalizationScope {
public:
    LocalizationScope() { gnugettext::startLocalization(); }
    ~LocalizationScope() { gnugettext::endLocalization(); }
    LocalizationScope(const LocalizationScope&) = delete;
    LocalizationScope& operator=(const LocalizationScope&) = delete;
};

} // namespace

int runQuillet(int& argc, char** argv, const WindowDescription& description)
{
    FontConfigWarmUp fonts;
    QApplication application(argc, argv);
    const LocalizationScope localization;
    const cport::ComModuleScope serialComponent;
    const cport::QtSyncWakeUp serialCalls;

    // Only the program's own title: a toolkit display name would be appended to every window
    // title ("Application Error — Quillet v1.0").
    platform::setApplicationTitle(applicationTitle);

    fonts.wait();
    const std::unique_ptr<TForm1> form = buildMainWindow(description);
    if (!form)
        return 1;
    form->doCreate();
    form->show();
    return application.exec();
}

} // namespace app
