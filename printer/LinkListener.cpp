#include "printer/LinkListener.h"

#include <utility>

namespace printer {

LinkListener::LinkListener(
    std::unique_ptr<PrinterLink> link, std::function<void()> wake, TimeOf timeOf)
    : m_link(std::move(link))
    , m_wake(std::move(wake))
    , m_timeOf(std::move(timeOf))
{
    m_link->setObserver([this](Direction direction, std::string_view bytes, std::string_view note) {
        push({ false, direction, std::string(bytes), std::string(note), m_timeOf(direction) });
    });
    m_link->setAutoStatusSink([this](const std::string& message) {
        push({ true, Direction::Received, message, {}, Clock::now() });
    });
    m_thread = std::thread([this] { listen(); });
}

LinkListener::~LinkListener()
{
    // Set before taking the lock, which the listening thread holds while it listens: it sees
    // the flag after its current slice and lets go.
    m_stop.store(true);
    {
        const std::lock_guard lock(m_mutex);
    }
    m_lent.notify_all();
    m_thread.join();
}

void LinkListener::listen()
{
    std::unique_lock lock(m_mutex);
    bool failed = false;
    while (!m_stop) {
        if (m_wanted.load() > 0 || failed) {
            m_lent.wait(lock, [&] { return m_stop || (m_wanted.load() == 0 && !failed); });
            continue;
        }
        std::string why;
        try {
            m_link->listen(kListenSlice);
            if (m_link->hungUp())
                why = "the printer closed the connection";
        } catch (const std::exception& error) {
            why = error.what();
        }
        if (why.empty())
            continue;
        failed = true;
        {
            const std::lock_guard queue(m_queueMutex);
            m_stopped = why;
        }
        push({ false, Direction::Received, {}, "listening stopped: " + why, Clock::now() });
    }
}

void LinkListener::push(Heard heard)
{
    bool wasEmpty;
    {
        const std::lock_guard lock(m_queueMutex);
        wasEmpty = m_queue.empty();
        m_queue.push_back(std::move(heard));
    }
    if (wasEmpty && m_wake)
        m_wake();
}

std::vector<LinkListener::Heard> LinkListener::take()
{
    const std::lock_guard lock(m_queueMutex);
    return std::exchange(m_queue, {});
}

std::string LinkListener::stopped() const
{
    const std::lock_guard lock(m_queueMutex);
    return m_stopped;
}

} // namespace printer
