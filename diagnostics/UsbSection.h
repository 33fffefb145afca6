#pragma once
// The pane's own connection to a USB printer reached through libusb, beside the window's three:
// the printers the listing finds, one of them used for every question and press while "Use the
// USB printer" is on, the kernel's driver detached from it only while in use when asked, and
// raw bytes typed in hexadecimal sent to the printer the pane uses.

#include "diagnostics/PaneActions.h"
#include "diagnostics/PrinterSession.h"
#include "usb/UsbPrinterInfo.h"

#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace diagnostics {

class UsbSection : public QWidget {
    Q_OBJECT
public:
    // `changed` is told after the session's printer changed (the pane clears what it showed).
    UsbSection(PrinterSession& session, ActionGuard guard, PanePress press,
        std::function<void()> changed, QWidget* parent = nullptr);

    // Lists the USB printers again, keeping the chosen one where it is still there; errors
    // are raised.
    void findPrinters();
    // Sends the typed bytes as a press; a text that is not hex raises platform::Exception.
    void sendRaw();

private:
    // Hands the chosen printer (or the window's connection) to the session.
    void choose();

    PrinterSession& m_session;
    ActionGuard m_guard;
    PanePress m_press;
    std::function<void()> m_changed;
    std::vector<usb::UsbPrinterInfo> m_printers;
    QCheckBox* m_use = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_detach = nullptr;
    QLabel* m_about = nullptr;
    QLineEdit* m_raw = nullptr;
};

} // namespace diagnostics
