// Event delivery on the scripted device, for what pseudo-terminals cannot produce: modem
// lines, line errors, breaks, rings, failed waits, and precise control of each batch.
#include "FakeComDevice.h"
#include "MonitorSupport.h"
#include "Watchdog.h"
#include "platform/MessageBoxes.h"
#include "serial/CPort.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace cport;
using namespace std::chrono_literals;
using serialtest::deliverFor;
using serialtest::deliverUntil;
using serialtest::FakeComDevice;
using serialtest::FakeScript;
using serialtest::Watchdog;

namespace {

struct Scripted : ::testing::Test {
    std::shared_ptr<FakeScript> script = std::make_shared<FakeScript>();
    TComPort port { std::make_unique<FakeComDevice>(script) };
    std::vector<std::string> log;

    Scripted()
    {
        port.OnAfterOpen = [this](TCustomComPort&) { log.push_back("AfterOpen"); };
        port.OnBeforeClose = [this](TCustomComPort&) { log.push_back("BeforeClose"); };
        port.OnAfterClose = [this](TCustomComPort&) { log.push_back("AfterClose"); };
        port.OnCTSChange
            = [this](TCustomComPort&, bool on) { log.push_back(on ? "CTS on" : "CTS off"); };
        port.OnDSRChange
            = [this](TCustomComPort&, bool on) { log.push_back(on ? "DSR on" : "DSR off"); };
        port.OnRLSDChange
            = [this](TCustomComPort&, bool on) { log.push_back(on ? "RLSD on" : "RLSD off"); };
        port.OnRxChar = [this](TCustomComPort&, std::int32_t n) {
            log.push_back("RxChar " + std::to_string(n));
        };
        port.OnError = [this](TCustomComPort&, TComErrors e) {
            log.push_back("Error " + std::to_string(e.bits()));
        };
        port.OnBreak = [this](TCustomComPort&) { log.push_back("Break"); };
        port.OnRing = [this](TCustomComPort&) { log.push_back("Ring"); };
        port.OnRx80Full = [this](TCustomComPort&) { log.push_back("Rx80Full"); };
        port.OnTxEmpty = [this](TCustomComPort&) { log.push_back("TxEmpty"); };
        port.OnRxFlag = [this](TCustomComPort&) { log.push_back("RxFlag"); };
    }
    ~Scripted() override
    {
        Watchdog watchdog("closing in the fixture");
        port.closePort();
    }
    void openAndClearLog()
    {
        port.openPort();
        log.clear();
        script->takeCalls();
    }
};

} // namespace

TEST_F(Scripted, OpeningAndClosingReportTheLinesAroundTheirNotifications)
{
    script->modem = MS_CTS_ON | MS_RLSD_ON;
    port.openPort();
    EXPECT_EQ(log, (std::vector<std::string> { "AfterOpen", "CTS on", "DSR off", "RLSD on" }));
    EXPECT_EQ(script->eventMask, 0x5FFu);
    log.clear();
    script->takeCalls();
    port.closePort();
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "CTS off", "DSR off", "RLSD off", "BeforeClose", "AfterClose" }));
    // Closing reads nothing from the device; the monitor clears the mask and both queues.
    const auto calls = script->takeCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "modemStatus"), 0);
    EXPECT_EQ(calls, (std::vector<std::string> { "purge3", "setEventMask", "purge12", "release" }));
}

TEST_F(Scripted, WithoutEventsThereIsNoThreadButTheNotificationsStillFire)
{
    port.setEvents({});
    script->modem = MS_DSR_ON;
    port.openPort();
    EXPECT_FALSE(port.hasMonitorThread());
    EXPECT_FALSE(port.hasNotifier());
    EXPECT_EQ(script->callCount("setEventMask"), 0);
    port.closePort();
    EXPECT_EQ(log,
        (std::vector<std::string> { "AfterOpen", "CTS off", "DSR on", "RLSD off", "CTS off",
            "DSR off", "RLSD off", "BeforeClose", "AfterClose" }));
}

TEST_F(Scripted, ABatchIsDeliveredInItsFixedOrder)
{
    openAndClearLog();
    script->errors = CE_FRAME;
    script->input = "xy";
    script->modem = MS_CTS_ON;
    script->post(EV_RX80FULL | EV_RLSD | EV_RXFLAG | EV_DSR | EV_CTS | EV_RING | EV_BREAK
        | EV_TXEMPTY | EV_RXCHAR | EV_ERR);
    ASSERT_TRUE(deliverUntil([&] { return log.size() >= 10; }));
    EXPECT_EQ(log,
        (std::vector<std::string> { "Error 1", "RxChar 2", "TxEmpty", "Break", "Ring", "CTS on",
            "DSR off", "RxFlag", "RLSD off", "Rx80Full" }));
}

TEST_F(Scripted, DispatchersQueryTheDeviceWhenTheyRun)
{
    openAndClearLog();
    // Errors already cleared by an input-count query, and bytes already read, fire nothing.
    script->errors = CE_BREAK;
    EXPECT_EQ(port.pendingInputCount(), 0);
    script->post(EV_ERR | EV_RXCHAR);
    script->post(EV_RING);
    ASSERT_TRUE(deliverUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, std::vector<std::string> { "Ring" });
}

TEST_F(Scripted, AFailedWaitDeliversNothingAndTheNextWaitFollows)
{
    openAndClearLog();
    script->post(std::nullopt);
    script->post(EV_BREAK);
    ASSERT_TRUE(deliverUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, std::vector<std::string> { "Break" });
}

TEST_F(Scripted, EventsChangedWhileOpenWaitForTheNextOpen)
{
    port.openPort();
    port.setEvents({ evRing });
    EXPECT_EQ(script->eventMask, 0x5FFu);
    port.closePort();
    port.openPort();
    EXPECT_EQ(script->eventMask, 0x100u);
}

TEST_F(Scripted, ClosingWhileTheMonitorWaitsInADeliveryReturns)
{
    for (TSyncMethod method : { smThreadSync, smWindowSync }) {
        port.setSyncMethod(method);
        std::atomic<int> hooks { 0 };
        setSyncWakeUpHook([&] { ++hooks; });
        openAndClearLog();
        script->modem = MS_RLSD_ON;
        script->post(EV_RLSD | EV_RING);
        // Nobody runs the delivery until closePort waits for the thread.
        while (hooks.load() == 0)
            std::this_thread::sleep_for(1ms);
        {
            Watchdog watchdog("closePort with a pending delivery");
            port.closePort();
        }
        setSyncWakeUpHook({});
        EXPECT_FALSE(port.Connected());
        // Deliveries that ran during the close still found an open port.
        EXPECT_EQ(log[3], "BeforeClose");
        EXPECT_NE(std::find(log.begin(), log.end(), "RLSD on"), log.end()) << int(method);
    }
}

TEST_F(Scripted, AStopDuringABatchLetsItFinishButNotTheNext)
{
    openAndClearLog();
    std::atomic<int> hooks { 0 };
    setSyncWakeUpHook([&] { ++hooks; });
    script->post(EV_RING | EV_BREAK);
    script->post(EV_RX80FULL);
    while (hooks.load() == 0)
        std::this_thread::sleep_for(1ms);
    port.closePort();
    setSyncWakeUpHook({});
    EXPECT_NE(std::find(log.begin(), log.end(), "Ring"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Break"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "Rx80Full"), log.end());
}

TEST_F(Scripted, UnderWindowSyncAnExceptionIsReportedAndMonitoringGoesOn)
{
    platform::RecordingMessageService boxes;
    port.setSyncMethod(smWindowSync);
    port.OnRing = [](TCustomComPort&) { throw std::runtime_error("ring handler failed"); };
    openAndClearLog();
    script->post(EV_RING);
    script->post(EV_BREAK);
    ASSERT_TRUE(deliverUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, std::vector<std::string> { "Break" });
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "ring handler failed.");
}

TEST_F(Scripted, UnderThreadSyncAnExceptionEndsMonitoring)
{
    port.OnRing = [](TCustomComPort&) { throw std::runtime_error("ring handler failed"); };
    openAndClearLog();
    script->post(EV_RING);
    script->post(EV_BREAK);
    deliverFor(300ms);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(port.Connected());
}

TEST_F(Scripted, AFailingLineQueryAfterOpeningLeavesThePortOpenAndMonitored)
{
    script->refuse("modemStatus", EIO);
    EXPECT_THROW(port.openPort(), EComPort);
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.hasMonitorThread());
    script->refusals.clear();
    script->post(EV_RING);
    EXPECT_TRUE(
        deliverUntil([&] { return std::find(log.begin(), log.end(), "Ring") != log.end(); }));
}

TEST_F(Scripted, LinksCannotChangeFromInsideTheirOwnNotification)
{
    TPortLink link, other;
    int codes = 0;
    link.openChange = [&](TCustomComPort& sender, bool) {
        try {
            sender.attachLink(other);
        } catch (const EComPort& e) {
            codes += e.errorCode();
        }
    };
    port.attachLink(link);
    EXPECT_THROW(port.attachLink(link), EComPort);
    port.setEvents({});
    port.openPort();
    EXPECT_EQ(codes, 18);
    port.detachLink(link);
}
