#pragma once
// The pane's "Watch" page: automatic status back (GS a n) with the changes to report chosen
// (drawer, online/offline, errors, paper sensor), and each message the printer sends unasked
// shown as it arrives: in words, as timestamped events ("16:01:03 paper end"), and on the status
// lights. A thread listens meanwhile, so the window stays free.

#include "diagnostics/PaneActions.h"
#include "diagnostics/PrinterSession.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace diagnostics {

class WatchSection : public QWidget {
    Q_OBJECT
public:
    using ShowStatus = std::function<void(const printer::PrinterReport& report)>;
    // `guard` runs the start (as the pane's other actions); `show` lights the lights.
    WatchSection(
        PrinterSession& session, ActionGuard guard, ShowStatus show, QWidget* parent = nullptr);

    // Sends GS a 0 and ends the watch (the pane closed, the connection changed).
    void stop();
    // The GS a bits chosen.
    std::uint8_t chosenBits() const;

private:
    void toggled(bool on);
    void arrived(const std::string& message, PrinterSession::Clock::time_point time);
    void heard();

    PrinterSession& m_session;
    ActionGuard m_guard;
    ShowStatus m_show;
    std::optional<std::string> m_last; // the latest message of this watch
    QCheckBox* m_bits[4] = {};
    QPushButton* m_watch = nullptr;
    QLabel* m_words = nullptr;
    QListWidget* m_events = nullptr;
};

} // namespace diagnostics
