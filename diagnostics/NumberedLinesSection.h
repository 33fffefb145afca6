#pragma once
// The dropped-byte test: "Numbered lines" sends N lines "0001 …" on any connection. On a serial
// printer the pane opens the port itself with the flow control chosen here (the window's presses
// keep the port's own settings), and the line lights follow the lines while the job runs, so a
// printer's BUSY (CTS or DSR going off) shows as it happens.

#include "diagnostics/LineWatch.h"
#include "diagnostics/PaneActions.h"
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
    using ShowLines = std::function<void(const std::vector<LightState>& lights)>;
    NumberedLinesSection(PrinterSession& session, ActionGuard guard, PanePress press,
        ShowLines showLines, QWidget* parent = nullptr);
    ~NumberedLinesSection() override;

    // Runs the test as the button does; errors are raised.
    void run();

private:
    void linesChanged();

    PrinterSession& m_session;
    ActionGuard m_guard;
    PanePress m_press;
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
