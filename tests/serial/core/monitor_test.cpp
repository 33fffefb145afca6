// The event monitor on real pseudo-terminals: received bytes, the event character, the
// drained output, hang-ups, and handlers that raise or close the port.
#include "MonitorSupport.h"
#include "PtyPair.h"
#include "Watchdog.h"
#include "serial/CPort.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>

using namespace cport;
using namespace std::chrono_literals;
using serialtest::deliverFor;
using serialtest::deliverUntil;
using serialtest::PtyPair;
using serialtest::Watchdog;

namespace {

struct Monitored : ::testing::Test {
    PtyPair pty;
    TComPort port;
    const std::thread::id self = std::this_thread::get_id();

    Monitored() { port.setPort(pty.slavePath()); }
    ~Monitored() override
    {
        Watchdog watchdog("closing in the fixture");
        port.closePort();
    }
};

double processCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST_F(Monitored, ReceivedBytesReachOnRxCharOnTheOwningThreadWithTheWaitingCount)
{
    std::int32_t count = 0;
    std::thread::id ranOn;
    port.OnRxChar = [&](TCustomComPort&, std::int32_t n) {
        count = n;
        ranOn = std::this_thread::get_id();
    };
    std::vector<bool> activity;
    TPortLink link;
    link.rxActivity = [&](TCustomComPort&, bool on) { activity.push_back(on); };
    port.attachLink(link);
    port.openPort();
    EXPECT_TRUE(port.hasMonitorThread());
    EXPECT_FALSE(port.hasNotifier());
    pty.send("hello");
    ASSERT_TRUE(deliverUntil([&] { return count == 5; }));
    EXPECT_EQ(ranOn, self);
    EXPECT_EQ(activity.front(), true);
    // The bytes stay for the application to read.
    char buffer[8];
    EXPECT_EQ(port.readBytes(buffer, 8), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(activity.back(), false);
    port.detachLink(link);
}

TEST_F(Monitored, WithoutCountsOnRxBufGetsTheBytesAndOnRxCharDoesNotFollow)
{
    std::string received;
    int rxChars = 0;
    port.setReportRxCount(false);
    port.OnRxBuf = [&](TCustomComPort&, const void* bytes, std::int32_t n) {
        received.append(static_cast<const char*>(bytes), std::size_t(n));
    };
    port.OnRxChar = [&](TCustomComPort&, std::int32_t) { ++rxChars; };
    port.openPort();
    const std::string sent("0123456789\0\xFF", 12);
    pty.send(sent);
    ASSERT_TRUE(deliverUntil([&] { return received.size() >= sent.size(); }));
    EXPECT_EQ(received, sent);
    EXPECT_EQ(rxChars, 0);

    // Without an OnRxBuf handler the bytes are read and dropped.
    port.OnRxBuf = nullptr;
    bool arrived = false;
    TPortLink link;
    link.rxActivity = [&](TCustomComPort&, bool on) { arrived = arrived || on; };
    port.attachLink(link);
    pty.send("dropped");
    EXPECT_TRUE(deliverUntil([&] { return arrived && port.pendingInputCount() == 0; }));
    EXPECT_EQ(rxChars, 0);
    port.detachLink(link);
}

TEST_F(Monitored, ALinkWithReceivedBytesMakesThePortReadAndItIsKeptExact)
{
    TPortLink raw;
    std::string linkGot, handlerGot;
    raw.receivedBytes = [&](TCustomComPort&, const void* bytes, std::int32_t n) {
        linkGot.append(static_cast<const char*>(bytes), std::size_t(n));
    };
    port.OnRxBuf = [&](TCustomComPort&, const void* bytes, std::int32_t n) {
        handlerGot.append(static_cast<const char*>(bytes), std::size_t(n));
    };
    EXPECT_FALSE(port.rawLinkAttached());
    port.attachLink(raw);
    EXPECT_TRUE(port.rawLinkAttached());
    port.openPort();
    pty.send("linked");
    ASSERT_TRUE(deliverUntil([&] { return linkGot.size() >= 6; }));
    EXPECT_EQ(linkGot, "linked");
    EXPECT_EQ(handlerGot, "linked");
    port.detachLink(raw);
    EXPECT_FALSE(port.rawLinkAttached());
    EXPECT_THROW(port.detachLink(raw), EComPort);
}

TEST_F(Monitored, TheEventCharacterFiresOnRxFlag)
{
    int flags = 0;
    port.setEventChar('\n');
    port.OnRxFlag = [&](TCustomComPort&) { ++flags; };
    port.openPort();
    pty.send("no flag");
    deliverFor(200ms);
    EXPECT_EQ(flags, 0);
    pty.send("line\n");
    ASSERT_TRUE(deliverUntil([&] { return flags == 1; }));
}

TEST_F(Monitored, AWriteIsFollowedByOnTxEmptyAndTheLinksActivityOff)
{
    std::vector<std::string> log;
    TPortLink link;
    link.txActivity = [&](TCustomComPort&, bool on) { log.push_back(on ? "tx on" : "tx off"); };
    link.txEmpty = [&](TCustomComPort&) { log.push_back("link empty"); };
    port.OnTxEmpty = [&](TCustomComPort&) { log.push_back("OnTxEmpty"); };
    port.attachLink(link);
    port.openPort();
    port.writeText("receipt");
    ASSERT_TRUE(deliverUntil([&] { return log.size() >= 4; }));
    EXPECT_EQ(log, (std::vector<std::string> { "tx on", "tx off", "link empty", "OnTxEmpty" }));
    EXPECT_EQ(pty.receive(7), "receipt");
    port.detachLink(link);
}

TEST_F(Monitored, AHandlerThatRaisesEndsMonitoringAndClosingStillReturns)
{
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort&, std::int32_t) {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    port.openPort();
    pty.send("a");
    ASSERT_TRUE(deliverUntil([&] { return calls == 1; }));
    pty.send("b");
    deliverFor(300ms);
    EXPECT_EQ(calls, 1);
    Watchdog watchdog("closePort after a raising handler");
    port.closePort();
    EXPECT_FALSE(port.Connected());
    // A fresh open monitors again.
    port.OnRxChar = [&](TCustomComPort&, std::int32_t) { ++calls; };
    port.openPort();
    pty.send("c");
    EXPECT_TRUE(deliverUntil([&] { return calls == 2; }));
}

TEST_F(Monitored, AHungUpLineNeitherSpinsNorBlocksClosing)
{
    TComErrors errors;
    port.OnError = [&](TCustomComPort&, TComErrors e) { errors = e; };
    port.openPort();
    pty.hangUp();
    ASSERT_TRUE(deliverUntil([&] { return errors.contains(errIO); }));
    const double before = processCpuSeconds();
    deliverFor(1000ms);
    EXPECT_LT(processCpuSeconds() - before, 0.3);
    Watchdog watchdog("closePort after a hang-up");
    port.closePort();
}

TEST_F(Monitored, ClosingFromInsideADeliveryDoesNotWaitForItself)
{
    for (TSyncMethod method : { smThreadSync, smWindowSync, smNone }) {
        Watchdog watchdog("closePort inside OnRxChar");
        std::atomic<int> closed { 0 };
        port.setSyncMethod(method);
        port.OnRxChar = [&](TCustomComPort& sender, std::int32_t) {
            sender.closePort();
            ++closed;
        };
        port.openPort();
        pty.send("x");
        ASSERT_TRUE(deliverUntil([&] { return closed.load() == 1; })) << int(method);
        EXPECT_FALSE(port.Connected());
        EXPECT_FALSE(port.hasMonitorThread());
        pty.receiveAvailable(10ms);
    }
    port.OnRxChar = nullptr;
    port.openPort();
    port.closePort();
}

TEST_F(Monitored, WithoutSynchronisationHandlersRunOnTheMonitorThread)
{
    std::promise<std::thread::id> ranOn;
    bool once = false;
    port.setSyncMethod(smNone);
    port.OnRxChar = [&](TCustomComPort&, std::int32_t) {
        if (!std::exchange(once, true))
            ranOn.set_value(std::this_thread::get_id());
    };
    port.openPort();
    pty.send("z");
    auto future = ranOn.get_future();
    ASSERT_EQ(future.wait_for(20s), std::future_status::ready);
    EXPECT_NE(future.get(), self);
}

TEST_F(Monitored, UnderWindowSyncEachEventRunsOnTheOwningThread)
{
    std::vector<std::string> log;
    port.setSyncMethod(smWindowSync);
    port.setEventChar('!');
    port.OnRxChar = [&](TCustomComPort&, std::int32_t) {
        EXPECT_EQ(std::this_thread::get_id(), self);
        log.push_back("RxChar");
    };
    port.OnRxFlag = [&](TCustomComPort&) { log.push_back("RxFlag"); };
    port.openPort();
    EXPECT_TRUE(port.hasNotifier());
    pty.send("!");
    ASSERT_TRUE(deliverUntil([&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (std::vector<std::string> { "RxChar", "RxFlag" }));
    port.closePort();
    EXPECT_FALSE(port.hasNotifier());
}
