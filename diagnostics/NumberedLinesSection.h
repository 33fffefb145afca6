#pragma once
// The dropped-byte test: "Numbered lines" sends N lines "0001 …" on any connection. On a serial
// printer the pane opens the port itself with the flow control chosen here (the window's presses
// keep the port's own settings), and the line lights follow the lines while the job runs, so a
// printer's BUSY (CTS or DSR going off) shows as it happens.

#include "diagnostics/LineWatch.h"
#include "diagnostics/PrinterSession.h"

#include <QWidget>
#include <functional>

class QButtonGroup;
class QLabel;
class QPushButton;
class QSpinBox;

namespace diagnostics {

class NumberedLinesSection : public QWidget {
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()>& action)>;
    // A press on a connection other than serial (the pane's press, with its verdict).
    using Press = std::function<void(const std::string& bytes)>;
    using ShowLines = std::function<void(const std::vector<LightState>& lights)>;
    NumberedLinesSection(PrinterSession& session, Guard guard, Press press, ShowLines showLines,
        QWidget* parent = nullptr);
    ~NumberedLinesSection() override;

    // Runs the test as the button does; errors are raised.
    void run();

private:
    void linesChanged();

    PrinterSession& m_session;
    Guard m_guard;
    Press m_press;
    ShowLines m_showLines;
    LineWatch m_lines;
    std::vector<LightState> m_lastLights;
    int m_busyChanges = 0;
    QSpinBox* m_count = nullptr;
    QButtonGroup* m_flow = nullptr; // one radio button per flow control, id = its index
    QPushButton* m_run = nullptr;
    QLabel* m_result = nullptr;
};

} // namespace diagnostics
