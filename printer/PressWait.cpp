#include "printer/PressWait.h"

namespace printer {

namespace {

// One per thread: the hook repaints the window, which only its own thread may do; a thread that
// listens to the printer in the background waits plainly.
std::function<void()>& waitHook()
{
    thread_local std::function<void()> hook;
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

} // namespace printer
