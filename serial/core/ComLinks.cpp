#include "serial/core/ComLinks.h"

#include "serial/core/ComError.h"

#include <algorithm>

namespace cport {

namespace {

// The lists this thread is walking right now (walks nest when a link slot notifies again).
thread_local std::vector<const TComLinkList*> walking;

} // namespace

TComLinkList::WalkScope::WalkScope(TComLinkList& list)
    : m_list(list)
{
    std::lock_guard lock(m_list.m_mutex);
    ++m_list.m_walkers;
    walking.push_back(&m_list);
}

TComLinkList::WalkScope::~WalkScope()
{
    walking.pop_back();
    std::lock_guard lock(m_list.m_mutex);
    if (--m_list.m_walkers == 0)
        m_list.m_idle.notify_all();
}

std::unique_lock<std::mutex> TComLinkList::lockForChange()
{
    if (std::find(walking.begin(), walking.end(), this) != walking.end())
        throw EComPort(ecLinkRegistration);
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_walkers == 0; });
    return lock;
}

void TComLinkList::attach(TPortLink& link)
{
    auto lock = lockForChange();
    if (std::find(m_links.begin(), m_links.end(), &link) != m_links.end())
        throw EComPort(ecLinkRegistration);
    m_links.push_back(&link);
    m_count.store(m_links.size(), std::memory_order_release);
}

void TComLinkList::detach(TPortLink& link)
{
    auto lock = lockForChange();
    const auto found = std::find(m_links.begin(), m_links.end(), &link);
    if (found == m_links.end())
        throw EComPort(ecLinkRegistration);
    m_links.erase(found);
    m_count.store(m_links.size(), std::memory_order_release);
}

} // namespace cport
