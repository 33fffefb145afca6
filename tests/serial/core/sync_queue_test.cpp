// The Qt-free synchronous-call queue: calls run on their owner, exceptions travel back, sent
// messages are answered before they run, and the wake-up hook is told of every call.
#include "Watchdog.h"
#include "serial/core/ComSyncQueue.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace cport;
using namespace std::chrono_literals;

TEST(SyncQueue, CallsRunOnTheOwnerAndCarryTheirExceptionBack)
{
    serialtest::Watchdog watchdog("synchronize");
    const auto owner = std::this_thread::get_id();
    std::atomic<int> hooks { 0 };
    setSyncWakeUpHook([&] { ++hooks; });
    std::thread::id ranOn;
    auto worker = std::async(std::launch::async, [&] {
        synchronize(owner, [&] { ranOn = std::this_thread::get_id(); });
        try {
            synchronize(owner, [] { throw std::runtime_error("from the owner"); });
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    });
    int ran = 0;
    while (ran < 2)
        ran += waitForSyncCalls(100ms);
    EXPECT_EQ(worker.get(), "from the owner");
    EXPECT_EQ(ranOn, owner);
    EXPECT_EQ(hooks.load(), 2);
    setSyncWakeUpHook({});
    EXPECT_EQ(runSyncCalls(), 0);
}

TEST(SyncQueue, TheOwnerCallsDirectlyAndOtherThreadsCallsWaitForTheirOwner)
{
    int direct = 0;
    synchronize(std::this_thread::get_id(), [&] { ++direct; });
    EXPECT_EQ(direct, 1);

    // A call for another owner is not run by this thread.
    std::promise<std::thread::id> ownerId;
    std::promise<void> release;
    std::thread other([&] {
        ownerId.set_value(std::this_thread::get_id());
        release.get_future().wait();
        while (runSyncCalls() == 0)
            std::this_thread::sleep_for(1ms);
    });
    const auto otherId = ownerId.get_future().get();
    auto worker = std::async(std::launch::async, [&] { synchronize(otherId, [] {}); });
    EXPECT_EQ(waitForSyncCalls(100ms), 0);
    release.set_value();
    EXPECT_EQ(worker.wait_for(30s), std::future_status::ready);
    other.join();
}

TEST(SyncQueue, SentMessagesAreAnsweredBeforeTheyRun)
{
    serialtest::Watchdog watchdog("sendAnsweredMessage");
    const auto owner = std::this_thread::get_id();
    std::promise<void> senderWentOn;
    auto sender = std::async(std::launch::async, [&] {
        sendAnsweredMessage(owner, [&] {
            // The sender is already past its send while the handler still runs.
            senderWentOn.get_future().wait();
        });
        senderWentOn.set_value();
    });
    while (waitForSyncCalls(100ms) == 0) { }
    sender.get();
}

TEST(SyncQueue, RunUntilKeepsServingCallsUntilItsConditionHolds)
{
    serialtest::Watchdog watchdog("runSyncCallsUntil");
    const auto owner = std::this_thread::get_id();
    std::atomic<bool> done { false };
    int served = 0;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            synchronize(owner, [&] { ++served; });
        done = true;
        notifySyncWaiters();
    });
    runSyncCallsUntil([&] { return done.load(); });
    worker.join();
    EXPECT_EQ(served, 3);
}
