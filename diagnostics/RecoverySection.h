#pragma once
// Recovery requests, enabled while the lights show an error: "Recover" (DLE ENQ 1), "Recover and
// clear" (DLE ENQ 2) and "Clear buffers" (DLE DC4 8), each with a sentence on what it does. The
// status is read back after each.

#include "diagnostics/PaneActions.h"
#include "diagnostics/PrinterSession.h"

#include <QGroupBox>
#include <functional>

class QPushButton;

namespace diagnostics {

class RecoverySection : public QGroupBox {
    Q_OBJECT
public:
    // The status read back, with the request's name ("after Recover").
    using ShowResult
        = std::function<void(const printer::PrinterReport& report, const QString& what)>;
    RecoverySection(
        PrinterSession& session, ActionGuard guard, ShowResult show, QWidget* parent = nullptr);

    // Whether the report the lights show has an error: the buttons are enabled then.
    void showErrorOf(const printer::PrinterReport& report);

private:
    void request(printer::RecoveryRequest request);

    PrinterSession& m_session;
    ActionGuard m_guard;
    ShowResult m_show;
    std::vector<QPushButton*> m_buttons;
};

} // namespace diagnostics
