#pragma once
// The pane's widgets carry object names, which its tests and screenshots find them by.

#include <QLatin1String>
#include <QObject>

namespace diagnostics {

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace diagnostics
