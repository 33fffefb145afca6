#pragma once
// The library's one connection, the lock that guards it, and each thread's part: its wait
// callback and whether it is inside a call. Shared by the files that implement the C interface.

#include "zevaruv/NetConnection.h"

#include <mutex>

namespace zevaruv {

extern std::mutex connectionMutex;
extern NetConnection connection;

struct ThreadPart {
    Waiting waiting;
    bool insideCall = false;
};
extern thread_local ThreadPart threadPart;

// One call's hold on the connection. A call made from inside another on the same thread (from
// the wait callback) holds nothing and is refused: waiting for the lock would wait for itself.
class ConnectionCall {
public:
    ConnectionCall()
        : m_nested(threadPart.insideCall)
    {
        if (m_nested)
            return;
        m_lock = std::unique_lock(connectionMutex);
        threadPart.insideCall = true;
    }
    ~ConnectionCall()
    {
        if (!m_nested)
            threadPart.insideCall = false;
    }
    ConnectionCall(const ConnectionCall&) = delete;
    ConnectionCall& operator=(const ConnectionCall&) = delete;

    bool refused() const { return m_nested; }
    const Waiting& waiting() const { return threadPart.waiting; }

private:
    bool m_nested;
    std::unique_lock<std::mutex> m_lock;
};

} // namespace zevaruv
