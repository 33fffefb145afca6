#pragma once
// The started writes of one device, carried out one after the other in the order they were
// issued by a thread of the queue's own, while their issuers go on with other work. A write
// that finds the queue idle may be begun at once by its issuer (most small writes end there,
// without waking the thread); what it leaves is handed on in its place at the head. A write
// whose issuer collects it at once (writeText) is written whole by its issuer when the queue
// is idle, so a synchronous write never waits for another thread.

#include "serial/core/ComTransfer.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace cport {

class TComWriteQueue final : public TTransferHolder {
public:
    // `write` carries one request out to its end (its bytes, its time limit, an abort);
    // `wake` makes a `write` that waits look at the request's cancelled flag.
    TComWriteQueue(std::function<void(TOverlapped&)> write, std::function<void()> wake);
    ~TComWriteQueue() override;
    TComWriteQueue(const TComWriteQueue&) = delete;
    TComWriteQueue& operator=(const TComWriteQueue&) = delete;

    // Takes the head for the issuer when nothing is queued: true, and the issuer writes what it
    // can and then calls handOn(). False: nothing was queued.
    bool beginAtHead(TOverlapped& ov);
    // Ends the issuer's turn at the head: the request is carried out when `finished`, else the
    // thread goes on with it.
    void handOn(TOverlapped& ov, bool finished);
    // Queues a request behind the others.
    void push(TOverlapped& ov);
    void await(TOverlapped& ov) override;
    void forget(TOverlapped& ov) override;
    // Carries out what is queued (the device has aborted it first) and ends the thread.
    void stop();

private:
    // Who has the request at the head of the queue.
    enum class Head {
        Issuer, // being written by its issuer
        Queued, // waiting for the thread
        Running, // being written by the thread
    };

    void run();
    void queueHeadLocked();

    const std::function<void(TOverlapped&)> m_write;
    const std::function<void()> m_wake;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<TOverlapped*> m_queue;
    Head m_head = Head::Queued;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace cport
