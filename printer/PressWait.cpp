#include "printer/PressWait.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace printer {

namespace {

std::function<void()>& waitHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void setWaitHook(std::function<void()> hook)
{
    waitHook() = std::move(hook);
}

void keepWaiting()
{
    if (waitHook())
        waitHook()();
}

void runWaiting(const std::function<void()>& work)
{
    if (!waitHook())
        return work();
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr error;
    std::thread helper([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex);
        done = true;
        finished.notify_one();
    });
    for (;;) {
        {
            std::unique_lock lock(mutex);
            if (finished.wait_for(lock, waitSlice, [&] { return done; }))
                break;
        }
        keepWaiting();
    }
    helper.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace printer
