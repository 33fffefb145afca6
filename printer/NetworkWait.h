#pragma once
// The network library waits inside its own calls (connecting, awaiting room and the printer's
// acknowledgements or replies): while a NetworkWait lives, it calls the transports' wait hook
// from there, on this thread, so a press or question keeps the window alive without a thread.

namespace printer {

class NetworkWait {
public:
    NetworkWait();
    ~NetworkWait();
    NetworkWait(const NetworkWait&) = delete;
    NetworkWait& operator=(const NetworkWait&) = delete;
};

} // namespace printer
