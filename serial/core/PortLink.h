#pragma once
// TPortLink: the slots through which another object follows a port (activity lamps, a
// terminal view). Empty slots are skipped. The port does not own its links: a link is detached
// before it is destroyed.

#include "serial/core/ComEvents.h"

namespace cport {

class TPortLink {
public:
    TComSignalEvent openChange; // true after opening, false after closing
    TRxBufEvent receivedBytes; // bytes the port read for its links and OnRxBuf
    TRxBufEvent transmittedBytes; // the bytes of a completed write
    TNotifyEvent txEmpty;
    TNotifyEvent rxFlag;
    TComSignalEvent ctsChange;
    TComSignalEvent dsrChange;
    TComSignalEvent rlsdChange;
    TNotifyEvent ring;
    TComSignalEvent txActivity; // true when a write starts, false when the output has drained
    TComSignalEvent rxActivity; // true when bytes wait, false when a read left nothing waiting
};

} // namespace cport
