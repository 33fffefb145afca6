#include "app/PrinterPaneHost.h"

#include "app/BusyPress.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "diagnostics/PrinterPane.h"
#include "printer/PermissionHint.h"
#include "printer/SendToPrinter.h"

#include <QEvent>
#include <QRadioButton>
#include <QToolButton>

namespace app {

namespace {

constexpr int kToggleSize = 16;

} // namespace

PrinterPaneHost::PrinterPaneHost(TForm1& form)
    : QObject(&form)
    , m_form(form)
    , m_connection(form)
    , m_pane(new diagnostics::PrinterPane(m_connection, &form))
    , m_toggle(new QToolButton(form.StatusBar1))
{
    setObjectName(QStringLiteral("PrinterPaneHost"));
    m_pane->hide();
    m_pane->paneClosed();
    m_pane->setActionGuard([this](const std::function<void()>& action) { guard(action); });
    m_toggle->setObjectName(QStringLiteral("PaneToggle"));
    m_toggle->setToolTip(QStringLiteral("Printer status and transcript"));
    m_toggle->setCheckable(true);
    m_toggle->setAutoRaise(true);
    m_toggle->setArrowType(Qt::RightArrow);
    m_toggle->setFixedSize(kToggleSize, kToggleSize);
    // The toggle takes the corner of the size grip, so the panels keep their widths; the
    // window's frame still resizes it.
    form.StatusBar1->setSizeGripEnabled(false);
    form.StatusBar1->addPermanentWidget(m_toggle);
    connect(m_toggle, &QToolButton::toggled, this, [this](bool open) { setOpen(open); });
    // Another connection chosen: a serial port the pane holds open is closed.
    for (auto* choice : { form.RadioButton1, form.RadioButton2, form.RadioButton3 })
        connect(choice, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                m_pane->connectionChanged();
        });
    form.installEventFilter(this);
}

bool PrinterPaneHost::isOpen() const
{
    return m_pane->isVisibleTo(&m_form);
}

void PrinterPaneHost::setOpen(bool open)
{
    if (open == isOpen())
        return;
    m_toggle->setChecked(open);
    m_toggle->setArrowType(open ? Qt::LeftArrow : Qt::RightArrow);
    if (open) {
        m_closedWidth = m_form.width();
        m_pane->paneOpened();
        m_pane->show();
        m_form.resize(m_closedWidth + diagnostics::PrinterPane::kWidth, m_form.height());
        placePane();
    } else {
        m_pane->hide();
        m_pane->paneClosed();
        m_form.resize(m_closedWidth, m_form.height());
    }
}

void PrinterPaneHost::press(const std::string& bytes)
{
    printer::runWithPermissionHint(m_connection, [&] {
        m_pane->press(
            bytes, [this](const std::string& b) { printer::sendToPrinter(m_connection, b); });
    });
}

void PrinterPaneHost::guard(const std::function<void()>& action) const
{
    const BusyPress busy;
    printer::runWithPermissionHint(m_connection, action);
}

bool PrinterPaneHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_form && event->type() == QEvent::Resize && isOpen())
        placePane();
    return QObject::eventFilter(watched, event);
}

void PrinterPaneHost::placePane()
{
    // Beside the window's own controls, above the status bar that runs along the whole bottom.
    const int barTop = m_form.StatusBar1->geometry().top();
    m_pane->setGeometry(m_closedWidth, 0, diagnostics::PrinterPane::kWidth, barTop);
    m_pane->raise();
}

} // namespace app
