#pragma once
// The port's destruction notice: objects that keep a reference to a port they do not own (the
// port-bound selectors) ask here to be told when the port object goes, and forget it then.
// Used on the port's owner thread only.

#include <functional>
#include <utility>
#include <vector>

namespace cport {

class TComDestroyNotice {
public:
    // Asks to be told once when the port is destroyed; `listener` names the request, and a
    // second request under the same name replaces the first.
    void subscribe(const void* listener, std::function<void()> told)
    {
        unsubscribe(listener);
        m_listeners.emplace_back(listener, std::move(told));
    }

    // Withdraws the request (a listener that goes before the port must do so).
    void unsubscribe(const void* listener)
    {
        std::erase_if(
            m_listeners, [listener](const auto& entry) { return entry.first == listener; });
    }

    // Tells every listener once and forgets them. Each entry leaves the list before it is
    // told, so a listener that destroys or unsubscribes another one is safe.
    void notify()
    {
        while (!m_listeners.empty()) {
            auto entry = std::move(m_listeners.front());
            m_listeners.erase(m_listeners.begin());
            entry.second();
        }
    }

private:
    std::vector<std::pair<const void*, std::function<void()>>> m_listeners;
};

} // namespace cport
