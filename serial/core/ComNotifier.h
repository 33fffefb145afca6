#pragma once
// The notifier that stands in for the hidden window of the window-message delivery: it lives
// on the port's owning thread, and each event sent to it is answered before its dispatcher
// runs there, so the monitor thread is never held for the length of a handler.

#include <cstdint>
#include <thread>

namespace cport {

class TCustomComPort;

// The message number of a port event (the first application message number plus one).
constexpr unsigned portEventMessage = 1025;

class TComNotifier {
public:
    TComNotifier(TCustomComPort& port, std::thread::id owner);

    // From the monitor thread: returns once the owner has taken (answered) the message.
    void sendMessage(unsigned message, std::uint32_t wParam);
    // On the owner: dispatches a port event message while the port is open; anything else is
    // ignored. An exception is shown through the default error report, not raised.
    void handlePortMessage(unsigned message, std::uint32_t wParam);

private:
    TCustomComPort& m_port;
    const std::thread::id m_owner;
};

} // namespace cport
