#pragma once
// Handler types of the port's events; the sender is always the port.

#include "serial/core/ComTypes.h"

#include <cstdint>
#include <functional>

namespace cport {

class TCustomComPort;

using TNotifyEvent = std::function<void(TCustomComPort& sender)>;
using TRxCharEvent = std::function<void(TCustomComPort& sender, std::int32_t count)>;
using TRxBufEvent
    = std::function<void(TCustomComPort& sender, const void* buffer, std::int32_t count)>;
using TComSignalEvent = std::function<void(TCustomComPort& sender, bool onOff)>;
using TComErrorEvent = std::function<void(TCustomComPort& sender, TComErrors errors)>;

} // namespace cport
