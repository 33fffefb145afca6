#pragma once
// Running work on a port's owning thread (the GUI thread in the application) on behalf of a
// monitor thread, without Qt. A monitor thread queues a call for the owner and blocks; the
// owner runs queued calls when the wake-up hook tells it to, whenever it likes (idle time), and
// while it waits for a monitor thread to end, so closing a port never deadlocks.
//
// The application installs the hook once at start, for example with Qt:
//   cport::setSyncWakeUpHook([] {
//       QMetaObject::invokeMethod(qApp, [] { cport::runSyncCalls(); }, Qt::QueuedConnection);
//   });
// Programs without an event loop call runSyncCalls() or waitForSyncCalls() themselves.

#include <chrono>
#include <functional>
#include <thread>

namespace cport {

// Called from a monitor thread each time a call is queued; must be thread-safe and must not
// block. An empty function removes the hook.
void setSyncWakeUpHook(std::function<void()> hook);

// Runs every call queued for the calling thread, in order; returns how many ran.
int runSyncCalls();

// Waits up to `timeout` until a call is queued for the calling thread, then runs what is
// queued; returns how many ran.
int waitForSyncCalls(std::chrono::milliseconds timeout);

// --- For the component itself.

// Runs `call` on thread `owner` and blocks until it has run there; an exception it raises is
// raised again here. Runs at once when the caller is the owner.
void synchronize(std::thread::id owner, const std::function<void()>& call);

// Hands `handler` to thread `owner` and returns as soon as the owner has taken it (before the
// handler runs there): a sent message that is answered first. Runs at once on the owner.
void sendAnsweredMessage(std::thread::id owner, std::function<void()> handler);

// Runs calls queued for the calling thread until `done()` is true; `done` is checked under the
// queue's lock whenever notifySyncWaiters() is called and after every call run.
void runSyncCallsUntil(const std::function<bool()>& done);

// Wakes runSyncCallsUntil so that it checks its condition again.
void notifySyncWaiters();

} // namespace cport
