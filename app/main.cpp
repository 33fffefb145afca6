// Quillet: exercises ESC/POS receipt printers.
#include "app/Form1Description.h"
#include "app/QtMessageService.h"
#include "app/RunQuillet.h"
#include "credits/UrlOpener.h"
#include "platform/AnsiText.h"

#include <QDesktopServices>
#include <QUrl>

int main(int argc, char** argv)
{
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
