#pragma once
// The serial monitor's calls onto the GUI thread run from the Qt event loop, as in the program.

#include "serial/ComApplication.h"

#include <QCoreApplication>

namespace testsupport {

class QtSyncWakeUp {
public:
    QtSyncWakeUp()
    {
        cport::setSyncWakeUpHook([] {
            QMetaObject::invokeMethod(
                qApp, [] { cport::runSyncCalls(); }, Qt::QueuedConnection);
        });
    }
    ~QtSyncWakeUp() { cport::setSyncWakeUpHook({}); }
    QtSyncWakeUp(const QtSyncWakeUp&) = delete;
    QtSyncWakeUp& operator=(const QtSyncWakeUp&) = delete;
};

} // namespace testsupport
