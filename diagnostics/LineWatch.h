#pragma once
// The modem lines of an open serial port, followed through the port's line events (CTS, DSR,
// DCD, RI), which its monitor delivers on the GUI thread. The port's line-event handlers belong
// to the watch while it is attached.

#include "diagnostics/LightStates.h"

#include <functional>

namespace cport {
class TCustomComPort;
}

namespace diagnostics {

class LineWatch {
public:
    explicit LineWatch(std::function<void()> changed);
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // Follows `port` (open); a device without modem lines shows "not available" until a line
    // event proves otherwise.
    void attach(cport::TCustomComPort& port);
    // Gives the port's handlers back (empty) and forgets it.
    void detach();
    bool attached() const { return m_port != nullptr; }

    std::vector<LightState> lights() const;

private:
    void lineEvent();

    std::function<void()> m_changed;
    cport::TCustomComPort* m_port = nullptr;
    std::optional<cport::TLineSignals> m_inputs;
};

} // namespace diagnostics
