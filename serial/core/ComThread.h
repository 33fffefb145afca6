#pragma once
// TComThread: the event monitor of an open port. It waits on the device and a stop request and
// hands each batch of events to the port through the port's SyncMethod.

#include "platform/EventFd.h"
#include "serial/core/ComTypes.h"

#include <atomic>
#include <thread>

namespace cport {

class TCustomComPort;

class TComThread {
public:
    // Creates the stop descriptor and sets the device's event mask from the port's Events; the
    // thread runs from start() on. Both raise EComPort code 1 when the system refuses.
    TComThread(TCustomComPort& port, std::thread::id owner);
    // Lets the thread run (once the port holds this object, so the thread always finds it).
    void start();
    // Stops the thread and waits for it; a waiting owner keeps running queued calls and
    // messages meanwhile.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Signals the stop request (it stays signalled) and yields once.
    void stopMonitor();
    // Whether waiting for the thread from here would wait for the caller itself: the caller is
    // the monitor thread, or runs inside this thread's blocked synchronous delivery.
    bool waitWouldDeadlock() const;
    // Stops the thread without waiting: it leaves the device untouched from now on, and the
    // destructor (later, elsewhere) waits for it.
    void abandon();
    bool finished() const { return m_finished.load(); }

private:
    void run();
    void waitForEvents();
    void dispatchEvents();
    void deliverEvents();
    void sendEventMessages();
    void applyPriority();

    TCustomComPort& m_port;
    const std::thread::id m_owner;
    const platform::EventFd m_stop; // ends the monitor's wait; never drained, a stop is final
    TComEvents m_events; // the latest batch, written by the thread before it dispatches
    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_abandoned { false };
    std::atomic<std::thread::id> m_runningOn; // set by the thread itself as it starts
    std::thread m_thread;
};

} // namespace cport
