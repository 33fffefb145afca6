// Closing a port from a handler that runs while closePort waits for the monitor thread, under
// each delivery method, and a hang-up that follows received bytes at once: each is told once.
#include "MonitorSupport.h"
#include "PtyPair.h"
#include "Watchdog.h"
#include "serial/CPort.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace cport;
using namespace std::chrono_literals;
using serialtest::deliverFor;
using serialtest::deliverUntil;
using serialtest::PtyPair;
using serialtest::Watchdog;

namespace {

// Waits (without running deliveries) until flag is set or a generous bound has passed.
bool waitFor(const std::atomic<bool>& flag)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class Log {
public:
    void add(const std::string& what)
    {
        std::lock_guard lock(m_mutex);
        m_entries.push_back(what);
    }
    std::vector<std::string> entries()
    {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

const std::vector<std::string> closedOnce { "BeforeClose", "handler", "closed again",
    "AfterClose" };

struct ReentrantClose : ::testing::Test {
    PtyPair pty;
    TComPort port;
    Log log;
    std::atomic<bool> closing { false };

    ReentrantClose()
    {
        port.setPort(pty.slavePath());
        port.OnBeforeClose = [this](TCustomComPort&) {
            log.add("BeforeClose");
            closing = true;
        };
        port.OnAfterClose = [this](TCustomComPort&) { log.add("AfterClose"); };
    }
    ~ReentrantClose() override { setSyncWakeUpHook({}); }

    void closeAgainFrom(TCustomComPort& sender)
    {
        log.add("handler");
        sender.closePort();
        log.add("closed again");
    }
};

} // namespace

TEST_F(ReentrantClose, UnderSynchronisedDeliveryASecondCloseDoesNothing)
{
    for (TSyncMethod method : { smThreadSync, smWindowSync }) {
        std::atomic<bool> queued { false };
        setSyncWakeUpHook([&] { queued = true; });
        port.setSyncMethod(method);
        // The event character's handler queries nothing, so it runs whatever the monitor
        // thread has already cleared as it ends.
        port.setEventChar('x');
        port.OnRxFlag = [&](TCustomComPort& sender) { closeAgainFrom(sender); };
        port.openPort();
        pty.send("x");
        // The delivery waits for this thread, which runs it only while closing.
        ASSERT_TRUE(waitFor(queued)) << int(method);
        {
            Watchdog watchdog("closePort while a delivery closes again");
            port.closePort();
        }
        EXPECT_EQ(log.entries(), closedOnce) << int(method);
        EXPECT_FALSE(port.Connected());
        EXPECT_FALSE(port.hasMonitorThread());
        EXPECT_FALSE(port.hasNotifier());
        deliverFor(50ms);
        EXPECT_EQ(log.entries(), closedOnce) << "a handler ran after AfterClose";
        // The port opens and closes as before.
        port.OnRxFlag = nullptr;
        port.openPort();
        port.closePort();
        pty.receiveAvailable(10ms);
        log.clear();
        closing = false;
    }
}

TEST_F(ReentrantClose, WithoutSynchronisationASecondCloseFromTheMonitorThreadDoesNothing)
{
    std::atomic<bool> handlerRunning { false };
    port.setSyncMethod(smNone);
    port.OnRxChar = [&](TCustomComPort& sender, std::int32_t) {
        handlerRunning = true;
        // Closes again while the owner's closePort waits for this thread.
        if (waitFor(closing))
            closeAgainFrom(sender);
    };
    port.openPort();
    pty.send("x");
    ASSERT_TRUE(waitFor(handlerRunning));
    {
        Watchdog watchdog("closePort while the monitor thread closes again");
        port.closePort();
    }
    EXPECT_EQ(log.entries(), closedOnce);
    EXPECT_FALSE(port.Connected());
}

TEST_F(ReentrantClose, AHangUpRightAfterReceivedBytesReachesOnErrorOnce)
{
    for (TSyncMethod method : { smThreadSync, smWindowSync }) {
        PtyPair line;
        TComPort receiver;
        std::atomic<int> hangUps { 0 };
        std::atomic<bool> queued { false };
        setSyncWakeUpHook([&] { queued = true; });
        receiver.setPort(line.slavePath());
        receiver.setSyncMethod(method);
        receiver.OnError = [&](TCustomComPort&, TComErrors errors) {
            hangUps += errors.contains(errIO) ? 1 : 0;
        };
        receiver.openPort();
        line.send("last words");
        // The bytes are in and their delivery waits for this thread; the line hangs up before
        // it runs, so the delivery's byte count is what finds the hang-up.
        ASSERT_TRUE(waitFor(queued)) << int(method);
        line.hangUp();
        EXPECT_TRUE(deliverUntil([&] { return hangUps.load() > 0; }, 5s)) << int(method);
        deliverFor(200ms);
        EXPECT_EQ(hangUps.load(), 1) << int(method);
        Watchdog watchdog("closePort after a hang-up");
        receiver.closePort();
    }
}
