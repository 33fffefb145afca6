#include "serial/core/ComThread.h"

#include "serial/CPort.h"
#include "serial/core/ComConversions.h"
#include "serial/core/ComDevice.h"
#include "serial/core/ComNotifier.h"
#include "serial/core/ComSyncQueue.h"

#include <array>
#include <sys/resource.h>
#include <system_error>
#include <utility>

namespace cport {

namespace {

// The order in which one batch is delivered (not the ordinal order).
constexpr std::array<TComEvent, 10> deliveryOrder
    = { evError, evRxChar, evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD, evRx80Full };

// The thread whose synchronous delivery the calling (owner) thread is running right now.
thread_local const TComThread* deliveringFor = nullptr;

class DeliveryScope {
public:
    explicit DeliveryScope(const TComThread* thread)
        : m_previous(std::exchange(deliveringFor, thread))
    {
    }
    ~DeliveryScope() { deliveringFor = m_previous; }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;

private:
    const TComThread* m_previous;
};

int niceValue(TThreadPriority priority)
{
    constexpr std::array<int, 7> values = { 19, 10, 5, 0, -5, -10, -20 };
    return values[std::size_t(priority)];
}

} // namespace

TComThread::TComThread(TCustomComPort& port, std::thread::id owner)
    : m_port(port)
    , m_owner(owner)
{
    if (!m_stop.valid())
        throw EComPort(ecOpenFailed, m_stop.error());
    // A device that refuses the mask simply reports no events.
    m_port.device().setEventMask(eventsToMask(m_port.Events()));
}

void TComThread::start()
{
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& e) {
        throw EComPort(ecOpenFailed, e.code().value());
    }
}

TComThread::~TComThread()
{
    stopMonitor();
    if (m_thread.joinable()) {
        // Deliveries queued for this thread must still run, or the monitor could not end.
        runSyncCallsUntil([this] { return m_finished.load(); });
        m_thread.join();
    }
}

void TComThread::stopMonitor()
{
    m_stop.signal();
    std::this_thread::yield();
}

bool TComThread::waitWouldDeadlock() const
{
    return std::this_thread::get_id() == m_runningOn.load() || deliveringFor == this;
}

void TComThread::abandon()
{
    m_abandoned = true;
    stopMonitor();
}

void TComThread::applyPriority()
{
    if (m_port.MonitorPriority() != tpNormal)
        ::setpriority(PRIO_PROCESS, ::gettid(), niceValue(m_port.MonitorPriority()));
}

void TComThread::run()
{
    m_runningOn = std::this_thread::get_id();
    applyPriority();
    TComDevice& device = m_port.device();
    try {
        waitForEvents();
        if (!m_abandoned) {
            device.setEventMask(0);
            device.purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
        }
    } catch (...) {
        // A delivery that raised ends monitoring, without a report; the port stays open.
        if (!m_abandoned)
            device.setEventMask(0);
    }
    m_finished = true;
    notifySyncWaiters();
}

void TComThread::waitForEvents()
{
    TComDevice& device = m_port.device();
    while (!m_abandoned) {
        std::uint32_t mask = 0;
        const TWaitResult result = device.waitEvents(m_stop.get(), mask);
        if (result == TWaitResult::Stopped)
            return;
        if (result == TWaitResult::Events) {
            m_events = maskToEvents(mask);
            if (!m_events.empty())
                dispatchEvents();
        }
    }
}

void TComThread::dispatchEvents()
{
    switch (m_port.SyncMethod()) {
    case smThreadSync:
        synchronize(m_owner, [this] {
            DeliveryScope scope(this);
            deliverEvents();
        });
        break;
    case smWindowSync:
        sendEventMessages();
        break;
    case smNone:
        deliverEvents();
        break;
    }
}

void TComThread::deliverEvents()
{
    for (TComEvent event : deliveryOrder) {
        // A handler that closed the port ends the batch.
        if (m_abandoned)
            return;
        if (m_events.contains(event))
            m_port.dispatchEvent(event);
    }
}

void TComThread::sendEventMessages()
{
    for (TComEvent event : deliveryOrder) {
        if (m_abandoned)
            return;
        if (m_events.contains(event))
            m_port.notifier().sendMessage(portEventMessage, eventMaskBit(event));
    }
}

} // namespace cport
