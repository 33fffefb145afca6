// Quillet: exercises ESC/POS receipt printers.
#include "app/Form1Description.h"
#include "app/GraphicalSession.h"
#include "app/QtMessageService.h"
#include "app/RunQuillet.h"
#include "credits/UrlOpener.h"
#include "platform/AnsiText.h"

#include <QDesktopServices>
#include <QUrl>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!app::graphicalSessionNamed()) {
        std::fprintf(stderr, "%s\n", app::noGraphicalSessionText());
        return 1;
    }
    const app::NoDisplayExit noDisplay;
    app::QtMessageService messageBoxes;
    platform::setMessageService(&messageBoxes);
    credits::setUrlOpener([](const std::string& address) {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(platform::ansiToUtf8(address))));
    });
    const int exitCode = app::runQuillet(argc, argv, app::form1Description());
    credits::setUrlOpener({});
    platform::setMessageService(nullptr);
    return exitCode;
}
