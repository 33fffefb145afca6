#pragma once
// A link kept open to hear what the printer sends unasked (automatic status back): a thread of
// its own listens while nobody else uses the link, and `use` lends the link to the calling
// thread, the listening paused meanwhile. Everything the link hears or sends, on either thread,
// is queued in order for the owner to take on its own thread.

#include "printer/PrinterLink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace printer {

class LinkListener {
public:
    using Clock = std::chrono::system_clock;
    struct Heard {
        // Traffic as the link's observer tells it, or an automatic status message.
        bool autoStatus = false;
        Direction direction = Direction::Received;
        std::string bytes;
        std::string note;
        Clock::time_point time;
    };
    // The time traffic is shown at, asked on the thread that moves it.
    using TimeOf = std::function<Clock::time_point(Direction direction)>;
    // How long one wait of the listening thread lasts: the longest `use` waits for the link.
    static constexpr std::chrono::milliseconds kListenSlice { 10 };

    // `wake` is called, on either thread, when the queue stops being empty.
    LinkListener(std::unique_ptr<PrinterLink> link, std::function<void()> wake, TimeOf timeOf);
    // Stops listening (waiting out the current slice) and closes the link.
    ~LinkListener();
    LinkListener(const LinkListener&) = delete;
    LinkListener& operator=(const LinkListener&) = delete;

    // Runs work(link) on the calling thread while the listening waits.
    template <typename Work> auto use(Work work)
    {
        m_wanted.fetch_add(1);
        std::unique_lock lock(m_mutex);
        const Lent lent(*this);
        return work(*m_link);
    }

    // What was heard since the last take, oldest first.
    std::vector<Heard> take();
    // Why the listening stopped by itself (the printer hung up, the link failed); empty while
    // it listens.
    std::string stopped() const;

private:
    // Gives the link back to the listening thread when a use ends, however it ends.
    struct Lent {
        explicit Lent(LinkListener& owner)
            : m_owner(owner)
        {
        }
        ~Lent()
        {
            m_owner.m_wanted.fetch_sub(1);
            m_owner.m_lent.notify_all();
        }
        LinkListener& m_owner;
    };

    void listen();
    void push(Heard heard);

    std::unique_ptr<PrinterLink> m_link;
    std::function<void()> m_wake;
    TimeOf m_timeOf;
    std::mutex m_mutex; // held by whoever uses the link
    std::condition_variable m_lent;
    std::atomic<int> m_wanted { 0 };
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_queueMutex; // guards the queue and m_stopped
    std::string m_stopped;
    std::vector<Heard> m_queue;
    std::thread m_thread;
};

} // namespace printer
