#pragma once
// The modem lines of an open serial port, followed through the port's line events (CTS, DSR,
// DCD, RI), which its monitor delivers on the GUI thread, and the hang-up of its device (an I/O
// error event). The port's line and error handlers belong to the watch while it is attached.

#include "diagnostics/LightStates.h"

#include <functional>

namespace cport {
class TCustomComPort;
}

namespace diagnostics {

class LineWatch {
public:
    // `changed` after every line event; `gone` once the device has hung up (unplugged, or its
    // far end closed), while the watch is still attached.
    LineWatch(std::function<void()> changed, std::function<void()> gone);
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // Follows `port` (open); a device without modem lines shows "not available" until a line
    // event proves otherwise.
    void attach(cport::TCustomComPort& port);
    // Gives the port's handlers back (empty) and forgets it. `deviceGone`: the lights say the
    // port was closed because its device went away.
    void detach(bool deviceGone = false);
    bool attached() const { return m_port != nullptr; }

    std::vector<LightState> lights() const;

private:
    void lineEvent();

    std::function<void()> m_changed;
    std::function<void()> m_gone;
    cport::TCustomComPort* m_port = nullptr;
    bool m_deviceGone = false;
    std::optional<cport::TLineSignals> m_inputs;
};

} // namespace diagnostics
