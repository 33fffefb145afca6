// The transports' wait hook: work that may block runs beside a caller that keeps calling the
// hook, and its failure reaches the caller.
#include "printer/PressWait.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace printer;

namespace {

// Installs a hook that counts its calls and notes the thread it runs on, while it lives.
struct CountingHook {
    CountingHook()
    {
        setWaitHook([this] {
            ++calls;
            onCaller = onCaller && std::this_thread::get_id() == caller;
        });
    }
    ~CountingHook() { setWaitHook({}); }
    int calls = 0;
    bool onCaller = true;
    std::thread::id caller = std::this_thread::get_id();
};

} // namespace

TEST(PressWait, BlockingWorkRunsBesideACallerThatKeepsCallingTheHook)
{
    const CountingHook hook;
    std::thread::id worker;
    runWaiting([&] {
        worker = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
    });
    EXPECT_NE(worker, hook.caller);
    // 600 ms of work in slices of 50 ms; a loaded machine may call it less often.
    EXPECT_GE(hook.calls, 3);
    EXPECT_TRUE(hook.onCaller);
}

TEST(PressWait, AFailureOfTheWorkReachesTheCaller)
{
    const CountingHook hook;
    EXPECT_THROW(runWaiting([] { throw std::runtime_error("printer gone"); }), std::runtime_error);
}

TEST(PressWait, WithoutAHookTheWorkRunsOnTheCallingThread)
{
    std::thread::id worker;
    runWaiting([&] { worker = std::this_thread::get_id(); });
    EXPECT_EQ(worker, std::this_thread::get_id());
    keepWaiting(); // nothing installed: nothing happens
}
