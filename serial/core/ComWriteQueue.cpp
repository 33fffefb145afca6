#include "serial/core/ComWriteQueue.h"

#include <algorithm>

namespace cport {

TComWriteQueue::TComWriteQueue(std::function<void(TOverlapped&)> write, std::function<void()> wake)
    : m_write(std::move(write))
    , m_wake(std::move(wake))
{
}

TComWriteQueue::~TComWriteQueue()
{
    stop();
}

bool TComWriteQueue::beginAtHead(TOverlapped& ov)
{
    std::lock_guard lock(m_mutex);
    if (!m_queue.empty())
        return false;
    ov.carriedOut = false;
    m_queue.push_back(&ov);
    m_head = Head::Issuer;
    return true;
}

void TComWriteQueue::handOn(TOverlapped& ov, bool finished)
{
    std::lock_guard lock(m_mutex);
    if (finished) {
        m_queue.pop_front();
        ov.carriedOut = true;
    }
    queueHeadLocked();
    m_changed.notify_all();
}

void TComWriteQueue::push(TOverlapped& ov)
{
    std::lock_guard lock(m_mutex);
    ov.carriedOut = false;
    m_queue.push_back(&ov);
    if (m_queue.size() == 1)
        queueHeadLocked();
    m_changed.notify_all();
}

void TComWriteQueue::queueHeadLocked()
{
    if (m_queue.empty())
        return;
    m_head = Head::Queued;
    // While stopping, the ending thread still carries out what is queued.
    if (!m_thread.joinable() && !m_stopping)
        m_thread = std::thread([this] { run(); });
}

void TComWriteQueue::await(TOverlapped& ov)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return ov.carriedOut; });
}

void TComWriteQueue::forget(TOverlapped& ov)
{
    std::unique_lock lock(m_mutex);
    const auto found = std::find(m_queue.begin(), m_queue.end(), &ov);
    if (found == m_queue.end())
        return;
    const bool atHead = found == m_queue.begin();
    if (!atHead || m_head == Head::Queued) {
        m_queue.erase(found);
        if (atHead)
            queueHeadLocked();
        m_changed.notify_all();
        return;
    }
    ov.cancelled = true;
    lock.unlock();
    m_wake();
    lock.lock();
    m_changed.wait(lock, [&] { return ov.carriedOut; });
}

void TComWriteQueue::stop()
{
    std::thread thread;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        thread = std::move(m_thread);
    }
    m_changed.notify_all();
    if (thread.joinable())
        thread.join();
    std::lock_guard lock(m_mutex);
    m_stopping = false;
}

void TComWriteQueue::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(
            lock, [&] { return (!m_queue.empty() && m_head == Head::Queued) || m_stopping; });
        if (m_queue.empty() || m_head != Head::Queued)
            return;
        TOverlapped& ov = *m_queue.front();
        m_head = Head::Running;
        lock.unlock();
        m_write(ov);
        lock.lock();
        m_queue.pop_front();
        ov.carriedOut = true;
        queueHeadLocked();
        m_changed.notify_all();
    }
}

} // namespace cport
