#pragma once
// The ordered list of a port's links. Notifications may walk it from any thread; attaching and
// detaching wait until no walk is in progress, so a detached link is never called again.

#include "serial/core/PortLink.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace cport {

class TComLinkList {
public:
    // Raise EComPort code 18 when the link is already (or not) attached, or when called from
    // inside a walk of this list on the same thread (which would otherwise wait for itself).
    void attach(TPortLink& link);
    void detach(TPortLink& link);
    // True exactly while an attached link has a receivedBytes slot.
    bool hasRawLink() const { return hasSlot(&TPortLink::receivedBytes); }
    // True while some attached link has the given slot assigned.
    template <typename Slot> bool hasSlot(Slot TPortLink::*slot) const
    {
        if (m_count.load(std::memory_order_acquire) == 0)
            return false;
        std::lock_guard lock(m_mutex);
        for (const TPortLink* link : m_links) {
            if (link->*slot)
                return true;
        }
        return false;
    }

    // Calls `visit` for each link in order; the list does not change meanwhile.
    template <typename Visit> void forEach(Visit&& visit)
    {
        if (m_count.load(std::memory_order_acquire) == 0)
            return;
        WalkScope scope(*this);
        for (TPortLink* link : m_links)
            visit(*link);
    }

    // Calls the given slot of every link that has it, with the port and the arguments.
    template <typename Slot, typename... Args>
    void notify(Slot TPortLink::*slot, TCustomComPort& port, const Args&... args)
    {
        forEach([&](TPortLink& link) {
            if (link.*slot)
                (link.*slot)(port, args...);
        });
    }

private:
    class WalkScope {
    public:
        explicit WalkScope(TComLinkList& list);
        ~WalkScope();
        WalkScope(const WalkScope&) = delete;
        WalkScope& operator=(const WalkScope&) = delete;

    private:
        TComLinkList& m_list;
    };

    std::unique_lock<std::mutex> lockForChange();

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    std::vector<TPortLink*> m_links;
    std::atomic<std::size_t> m_count { 0 };
    int m_walkers = 0;
};

} // namespace cport
