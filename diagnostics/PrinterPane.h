#pragma once
// The printer pane beside the main window: status lights with a "Query status" button and words
// for every reply byte, the driver's view of a parallel or USB printer, recovery requests while
// an error shows, the verdict of each press, the Watch page (automatic status back), the serial
// port's line lights while "Keep port open" holds it or the numbered lines run, and the
// transcript of every byte sent and received.

#include "diagnostics/LineWatch.h"
#include "diagnostics/PaneActions.h"
#include "diagnostics/PrinterSession.h"
#include "diagnostics/TranscriptModel.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace diagnostics {

class LightPanel;
class NumberedLinesSection;
class RecoverySection;
class UsbSection;
class WatchSection;

class PrinterPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 380;

    PrinterPane(const printer::PrinterConnection& connection, QWidget* parent = nullptr);
    ~PrinterPane() override;

    // Runs each of the pane's own actions through `guard`; by default an action just runs.
    void setActionGuard(ActionGuard guard) { m_guard = std::move(guard); }

    // A test press: the bytes go through the held-open serial port or `ordinarySend`, and with
    // "Status after each press" on, while the pane is open, the printer's state follows.
    // Errors are raised to the caller.
    void press(const std::string& bytes, const PrinterSession::OrdinarySend& ordinarySend);
    // The connection choice changed: a held-open serial port is closed, the lights are cleared.
    void connectionChanged();
    // The pane was opened or closed; closing closes a held-open serial port and stops the line
    // lights. A new pane counts as open.
    void paneOpened();
    void paneClosed();

    // The "Query status" button's work; errors are raised. While it asks, the button reads
    // "Cancel" and a click on it (or cancelQuery) ends the question at once.
    void queryStatus();
    bool asking() const { return m_asking; }
    void cancelQuery() { m_cancelRequested = m_asking; }
    // The button that asks, or cancels while asking: it answers clicks while the window is busy.
    QPushButton* queryButton() const { return m_query; }

    PrinterSession& session() { return m_session; }
    TranscriptModel& transcript() { return m_transcript; }

private:
    void buildLayout();
    // The Watch page, the recovery requests and the numbered lines.
    void buildSections();
    void queryClicked();
    void keepPortOpenToggled(bool on);
    void showLights();
    // A full round's readings on the lights and in words; `what` says what came before it.
    void showFullRound(const printer::PrinterReport& report, const QString& what);
    void askDetails();
    void clearLights(const QString& summary);
    void showLines();
    void stopHoldingPort();
    void portGone();
    void offerKeepPortOpen();

    TranscriptModel m_transcript;
    PrinterSession m_session;
    LineWatch m_lines;
    // The last full round and when it was asked; the last press's round since then.
    std::optional<printer::PrinterReport> m_full;
    std::string m_fullTime;
    std::optional<printer::PrinterReport> m_latest;
    ActionGuard m_guard = [](const std::function<void()>& action) { action(); };
    bool m_open = true;
    bool m_asking = false;
    bool m_cancelRequested = false;
    QPushButton* m_query = nullptr;
    QLabel* m_summary = nullptr;
    QSpinBox* m_answerLimit = nullptr;
    QCheckBox* m_statusAfterPress = nullptr;
    QCheckBox* m_keepPortOpen = nullptr;
    LightPanel* m_statusLights = nullptr;
    LightPanel* m_driverLights = nullptr;
    LightPanel* m_lineLights = nullptr;
    QLabel* m_replyWords = nullptr;
    QString m_roundWords; // the words of the last full round, before any details asked since
    QLabel* m_verdict = nullptr;
    WatchSection* m_watch = nullptr;
    RecoverySection* m_recovery = nullptr;
    NumberedLinesSection* m_numbered = nullptr;
    UsbSection* m_usb = nullptr;
};

} // namespace diagnostics
