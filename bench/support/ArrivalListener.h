#pragma once
// A stand-in network printer for timing: accepts connections on a loopback address, port 9100,
// one after another, and notes when each one's last byte and its end arrived.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace benchsupport {

using Clock = std::chrono::steady_clock;

struct Arrival {
    Clock::time_point lastByte;
    Clock::time_point end;
    std::size_t bytes = 0;
};

class ArrivalListener {
public:
    // address in 127.0.0.0/8; reports to standard error when it cannot listen.
    explicit ArrivalListener(const std::string& address);
    ~ArrivalListener();
    ArrivalListener(const ArrivalListener&) = delete;
    ArrivalListener& operator=(const ArrivalListener&) = delete;

    // Waits for the next connection to end and tells its times.
    Arrival next();

private:
    void serve();

    int m_socket = -1;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Arrival> m_arrivals;
    std::thread m_thread;
};

inline double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace benchsupport
