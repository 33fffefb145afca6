#include "app/GraphicalSession.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

QtMessageHandler previousHandler = nullptr;

bool named(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

void exitWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "%s\n", noGraphicalSessionText());
        std::_Exit(1);
    }
    previousHandler(type, context, message);
}

} // namespace

const char* noGraphicalSessionText()
{
    return "quillet: the window needs a graphical session and none was found (no display); "
           "quillet-send does the same from a shell";
}

bool graphicalSessionNamed()
{
    return named("DISPLAY") || named("WAYLAND_DISPLAY") || named("QT_QPA_PLATFORM");
}

NoDisplayExit::NoDisplayExit()
{
    previousHandler = qInstallMessageHandler(exitWithoutDisplay);
}

NoDisplayExit::~NoDisplayExit()
{
    qInstallMessageHandler(previousHandler);
}

} // namespace app
