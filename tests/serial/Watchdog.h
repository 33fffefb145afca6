#pragma once
// Ends the test program with a message when a step that must return promptly hangs, so a
// deadlock shows up as a failure and not as a stuck test run. A generous bound, not a timing
// assertion.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace serialtest {

class Watchdog {
public:
    explicit Watchdog(std::string step, std::chrono::seconds bound = std::chrono::seconds(30))
        : m_step(std::move(step))
        , m_thread([this, bound] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, bound, [this] { return m_finished; })) {
                std::fprintf(stderr, "watchdog: '%s' did not return\n", m_step.c_str());
                std::abort();
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string m_step;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace serialtest
