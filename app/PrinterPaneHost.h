#pragma once
// The printer pane's place in the main window: a toggle at the right end of the status bar
// opens the pane to the right of the window's own controls, and the window widens by the
// pane, moving left as far as it must to stay on the screen; closing it gives the window its
// width and place back. Where the widened window cannot fit the screen at all, the pane opens
// as a window of its own beside the main one. Every control of the window stays where it is.
// Presses go through the pane, so its transcript sees them.

#include "app/WindowConnection.h"

#include <QObject>
#include <string>

class QToolButton;

namespace diagnostics {
class PrinterPane;
}

namespace app {

class TForm1;

class PrinterPaneHost : public QObject {
    Q_OBJECT
public:
    explicit PrinterPaneHost(TForm1& form);

    diagnostics::PrinterPane& pane() const { return *m_pane; }
    QToolButton& toggle() const { return *m_toggle; }
    bool isOpen() const;
    void setOpen(bool open);

    // A test press's bytes to the chosen connection (through the held-open serial port when
    // the pane keeps one); a device refused for lack of permission gets the hint line.
    void press(const std::string& bytes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openPane();
    void closePane();
    void placePane();
    void guard(const std::function<void()>& action) const;
    // Input that passes while a pane action runs: the pane's "Cancel", "Exit" and closing.
    bool answersWhileBusy(QObject* watched, QEvent* event) const;

    TForm1& m_form;
    WindowConnection m_connection;
    diagnostics::PrinterPane* m_pane;
    QToolButton* m_toggle;
    int m_closedWidth = 0; // the window's width without the pane
    int m_shiftedLeft = 0; // how far opening moved the window left
    bool m_ownWindow = false; // the pane stands as a window of its own
    bool m_open = false;
};

} // namespace app
