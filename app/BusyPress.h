#pragma once
// What the window does while a press waits on a printer: once the press has lasted half a
// second it shows the busy cursor and keeps repainting (timers and paint events run), while
// every input meant for the program is dropped until the press ends. One mechanism for every
// press and every connection: it is the transports' wait hook (printer/PressWait.h).

#include <QObject>
#include <chrono>
#include <functional>

namespace app {

class BusyPress : public QObject {
public:
    // Input for which `stillAnswered` says true passes (a "Cancel" button, "Exit").
    using InputFilter = std::function<bool(QObject* watched, QEvent* event)>;
    explicit BusyPress(InputFilter stillAnswered = {});
    ~BusyPress() override;
    BusyPress(const BusyPress&) = delete;
    BusyPress& operator=(const BusyPress&) = delete;

    // How long a press runs before the window shows it is busy.
    static constexpr std::chrono::milliseconds busyAfter { 500 };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Clock = std::chrono::steady_clock;
    void keepAlive();

    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastPump;
    InputFilter m_stillAnswered;
    bool m_busy = false;
};

} // namespace app
