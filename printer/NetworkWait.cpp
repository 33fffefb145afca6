#include "printer/NetworkWait.h"

#include "printer/PressWait.h"
#include "zevaruv/ZEVarUV.h"

namespace printer {

NetworkWait::NetworkWait()
{
    KWNetWaitCallback([](void*) { keepWaiting(); }, nullptr);
}

NetworkWait::~NetworkWait()
{
    KWNetWaitCallback(nullptr, nullptr);
}

} // namespace printer
