#include "printer/PressWait.h"

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

} // namespace printer
