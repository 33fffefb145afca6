#pragma once
// What a program needs from the serial component as a whole, apart from its ports: the module's
// start and end, and the wake-up through which a port's monitor thread gets calls run on the
// thread that owns the port (the GUI thread in the application).
//
// With Qt, the application keeps a cport::QtSyncWakeUp (serial/ctl/QtSyncWakeUp.h) alive while
// its event loop runs.
// Programs without an event loop call runSyncCalls() or waitForSyncCalls() themselves.

#include <chrono>
#include <functional>

namespace cport {

// Registers the "cport" text domain and translates the error table. A catalog that cannot be
// read is reported through the default error report; the texts then stay as built. Run it after
// the localization module has started.
void startComModule();

// Brings the error table back to its texts as built. Run it before the localization module ends.
void endComModule();

// Runs the module from construction to destruction.
class ComModuleScope {
public:
    ComModuleScope() { startComModule(); }
    ~ComModuleScope() { endComModule(); }
    ComModuleScope(const ComModuleScope&) = delete;
    ComModuleScope& operator=(const ComModuleScope&) = delete;
};

// Called from a monitor thread each time a call is queued for an owner; must be thread-safe and
// must not block. An empty function removes the hook.
void setSyncWakeUpHook(std::function<void()> hook);

// Runs every call queued for the calling thread, in order; returns how many ran.
int runSyncCalls();

// Waits up to `timeout` until a call is queued for the calling thread, then runs what is
// queued; returns how many ran.
int waitForSyncCalls(std::chrono::milliseconds timeout);

} // namespace cport
