#include "serial/ctl/QtSyncWakeUp.h"

#include "serial/ComApplication.h"

#include <QCoreApplication>

namespace cport {

QtSyncWakeUp::QtSyncWakeUp()
{
    setSyncWakeUpHook([] {
        QMetaObject::invokeMethod(
            qApp, [] { runSyncCalls(); }, Qt::QueuedConnection);
    });
}

QtSyncWakeUp::~QtSyncWakeUp()
{
    setSyncWakeUpHook({});
}

} // namespace cport
