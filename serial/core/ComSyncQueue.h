#pragma once
// Running work on a port's owning thread (the GUI thread in the application) on behalf of a
// monitor thread, without Qt. A monitor thread queues a call for the owner and blocks; the
// owner runs queued calls when the wake-up hook tells it to, whenever it likes (idle time), and
// while it waits for a monitor thread to end, so closing a port never deadlocks.
//
// The program's side (the wake-up hook, running queued calls) is in serial/ComApplication.h.

#include "serial/ComApplication.h"

#include <functional>
#include <thread>

namespace cport {

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
