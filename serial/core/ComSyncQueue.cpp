#include "serial/core/ComSyncQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>

namespace cport {

namespace {

struct Entry {
    std::thread::id owner;
    std::function<void()> call;
    bool answerFirst = false; // the sender goes on once the owner has taken the entry
    bool finished = false; // taken (answered first) or run
    std::exception_ptr error;
};

struct SyncQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Entry>> entries;
    std::function<void()> hook;

    bool hasEntryFor(std::thread::id thread) const
    {
        return std::any_of(entries.begin(), entries.end(),
            [thread](const std::shared_ptr<Entry>& e) { return e->owner == thread; });
    }
};

SyncQueue& queue()
{
    static SyncQueue instance;
    return instance;
}

// Queues an entry for its owner, wakes the owner and waits until the entry is finished.
void deliver(const std::shared_ptr<Entry>& entry)
{
    SyncQueue& q = queue();
    std::function<void()> hook;
    {
        std::lock_guard lock(q.mutex);
        q.entries.push_back(entry);
        hook = q.hook;
    }
    q.changed.notify_all();
    if (hook)
        hook();
    std::unique_lock lock(q.mutex);
    q.changed.wait(lock, [&] { return entry->finished; });
}

// Marks the entry finished and drops the owner's reference under the lock, so that the waiting
// sender holds the last one and everything the entry carries (an exception) ends on its side.
void finish(std::shared_ptr<Entry> entry)
{
    SyncQueue& q = queue();
    {
        std::lock_guard lock(q.mutex);
        entry->finished = true;
        entry.reset();
    }
    q.changed.notify_all();
}

std::shared_ptr<Entry> takeEntryFor(std::thread::id thread)
{
    SyncQueue& q = queue();
    std::lock_guard lock(q.mutex);
    const auto found = std::find_if(q.entries.begin(), q.entries.end(),
        [thread](const std::shared_ptr<Entry>& e) { return e->owner == thread; });
    if (found == q.entries.end())
        return nullptr;
    std::shared_ptr<Entry> entry = *found;
    q.entries.erase(found);
    return entry;
}

} // namespace

void setSyncWakeUpHook(std::function<void()> hook)
{
    std::lock_guard lock(queue().mutex);
    queue().hook = std::move(hook);
}

int runSyncCalls()
{
    const std::thread::id self = std::this_thread::get_id();
    int ran = 0;
    while (std::shared_ptr<Entry> entry = takeEntryFor(self)) {
        ++ran;
        if (entry->answerFirst) {
            const std::function<void()> call = std::move(entry->call);
            finish(std::move(entry));
            call();
            continue;
        }
        try {
            entry->call();
        } catch (...) {
            entry->error = std::current_exception();
        }
        finish(std::move(entry));
    }
    return ran;
}

int waitForSyncCalls(std::chrono::milliseconds timeout)
{
    SyncQueue& q = queue();
    const std::thread::id self = std::this_thread::get_id();
    {
        std::unique_lock lock(q.mutex);
        q.changed.wait_for(lock, timeout, [&] { return q.hasEntryFor(self); });
    }
    return runSyncCalls();
}

void synchronize(std::thread::id owner, const std::function<void()>& call)
{
    if (owner == std::this_thread::get_id()) {
        call();
        return;
    }
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->call = call;
    deliver(entry);
    if (entry->error)
        std::rethrow_exception(entry->error);
}

void sendAnsweredMessage(std::thread::id owner, std::function<void()> handler)
{
    if (owner == std::this_thread::get_id()) {
        handler();
        return;
    }
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->call = std::move(handler);
    entry->answerFirst = true;
    deliver(entry);
}

void runSyncCallsUntil(const std::function<bool()>& done)
{
    SyncQueue& q = queue();
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        runSyncCalls();
        std::unique_lock lock(q.mutex);
        if (done())
            return;
        q.changed.wait(lock, [&] { return done() || q.hasEntryFor(self); });
        if (done() && !q.hasEntryFor(self))
            return;
    }
}

void notifySyncWaiters()
{
    SyncQueue& q = queue();
    {
        std::lock_guard lock(q.mutex);
    }
    q.changed.notify_all();
}

} // namespace cport
