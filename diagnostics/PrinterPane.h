#pragma once
// The printer pane beside the main window: status lights with a "Query status" button, the
// driver's view of a parallel or USB printer, the serial port's line lights while "Keep port
// open" holds it, and the transcript of every byte sent and received.

#include "diagnostics/LineWatch.h"
#include "diagnostics/PrinterSession.h"
#include "diagnostics/TranscriptModel.h"

#include <QWidget>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace diagnostics {

class LightPanel;
class StatusLightPanel;

class PrinterPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 380;

    PrinterPane(const printer::PrinterConnection& connection, QWidget* parent = nullptr);
    ~PrinterPane() override;

    // Runs each of the pane's own actions (a question, opening the port to hold it); the
    // window wraps them, to show it is busy and to add the permission hint to a failure. By
    // default an action just runs.
    using ActionGuard = std::function<void(const std::function<void()>& action)>;
    void setActionGuard(ActionGuard guard) { m_guard = std::move(guard); }

    // A test press: the bytes go through the held-open serial port or `ordinarySend`, and with
    // "Status after each press" on, while the pane is open, the printer's state follows.
    // Errors are raised to the caller.
    void press(
        const std::string& bytes, const std::function<void(const std::string&)>& ordinarySend);
    // The connection choice changed: a held-open serial port is closed.
    void connectionChanged();
    // The pane was opened or closed; closing closes a held-open serial port and stops the line
    // lights. A new pane counts as open.
    void paneOpened() { m_open = true; }
    void paneClosed();

    // The "Query status" button's work; errors are raised.
    void queryStatus();

    PrinterSession& session() { return m_session; }
    TranscriptModel& transcript() { return m_transcript; }

private:
    void buildLayout();
    void keepPortOpenToggled(bool on);
    void showReport(const printer::PrinterReport& report);
    void showLines();
    void stopHoldingPort();

    TranscriptModel m_transcript;
    PrinterSession m_session;
    LineWatch m_lines;
    printer::PrinterReport m_report;
    ActionGuard m_guard = [](const std::function<void()>& action) { action(); };
    bool m_open = true;
    QLabel* m_summary = nullptr;
    QSpinBox* m_answerLimit = nullptr;
    QCheckBox* m_statusAfterPress = nullptr;
    QCheckBox* m_keepPortOpen = nullptr;
    StatusLightPanel* m_statusLights = nullptr;
    LightPanel* m_driverLights = nullptr;
    LightPanel* m_lineLights = nullptr;
};

} // namespace diagnostics
