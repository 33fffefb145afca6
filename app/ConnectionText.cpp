#include "app/ConnectionText.h"

namespace app {

QString connectionText(ConnectionChoice choice, const ConnectionSettings& settings)
{
    switch (choice) {
    case ConnectionChoice::Com:
        return settings.comPort + u':' + settings.baudRate + QStringLiteral(",N,8,1,Hardware");
    case ConnectionChoice::Lpt:
        return settings.lptItem + u':';
    case ConnectionChoice::Ethernet:
        return QStringLiteral("ETHERNET:") + settings.ipString + QStringLiteral(":9100");
    case ConnectionChoice::Driver:
        return QStringLiteral("Driver ") + settings.driverItem;
    case ConnectionChoice::File:
        return QStringLiteral("File ") + settings.fileName + QStringLiteral(".bin");
    }
    return {};
}

} // namespace app
