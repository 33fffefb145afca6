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

class PrinterPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 380;

    PrinterPane(const printer::PrinterConnection& connection, QWidget* parent = nullptr);
    ~PrinterPane() override;

    // A test press: the bytes go through the held-open serial port or `ordinarySend`, and with
    // "Status after each press" on the printer's state follows. Errors are raised to the caller.
    void press(
        const std::string& bytes, const std::function<void(const std::string&)>& ordinarySend);
    // The connection choice changed: a held-open serial port is closed.
    void connectionChanged();
    // The pane was closed: a held-open serial port is closed and the line lights stop.
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
    QLabel* m_summary = nullptr;
    QSpinBox* m_answerLimit = nullptr;
    QCheckBox* m_statusAfterPress = nullptr;
    QCheckBox* m_keepPortOpen = nullptr;
    LightPanel* m_statusLights = nullptr;
    LightPanel* m_driverLights = nullptr;
    LightPanel* m_lineLights = nullptr;
};

} // namespace diagnostics
