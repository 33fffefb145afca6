#pragma once
// While it lives, calls that a serial port's monitor thread hands to the GUI thread run there from
// the Qt event loop (a queued invocation on the application object wakes it).

namespace cport {

class QtSyncWakeUp {
public:
    QtSyncWakeUp();
    ~QtSyncWakeUp();
    QtSyncWakeUp(const QtSyncWakeUp&) = delete;
    QtSyncWakeUp& operator=(const QtSyncWakeUp&) = delete;
};

} // namespace cport
