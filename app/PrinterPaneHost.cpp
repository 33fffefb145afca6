#include "app/PrinterPaneHost.h"

#include "app/BusyPress.h"
#include "app/PanePlacement.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "diagnostics/PrinterPane.h"
#include "printer/PermissionHint.h"
#include "printer/SendToPrinter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

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
    m_pane->installEventFilter(this);
}

bool PrinterPaneHost::isOpen() const
{
    return m_open;
}

void PrinterPaneHost::setOpen(bool open)
{
    if (open == m_open)
        return;
    m_open = open;
    m_toggle->setChecked(open);
    m_toggle->setArrowType(open ? Qt::LeftArrow : Qt::RightArrow);
    if (open)
        openPane();
    else
        closePane();
}

void PrinterPaneHost::openPane()
{
    m_closedWidth = m_form.width();
    const QRect frame = m_form.frameGeometry();
    const QRect available = m_form.screen()->availableGeometry();
    const auto place = choosePanePlace(frame, diagnostics::PrinterPane::kWidth, available);
    m_ownWindow = place.ownWindow;
    m_shiftedLeft = place.shiftLeft;
    m_pane->setWindowFlags(m_ownWindow ? Qt::Window : Qt::Widget);
    m_pane->paneOpened();
    if (m_ownWindow) {
        m_pane->setWindowTitle(QStringLiteral("Printer"));
        m_pane->resize(diagnostics::PrinterPane::kWidth, m_form.height());
        const QSize decorations = frame.size() - m_form.size();
        m_pane->move(ownWindowPlace(frame, m_pane->size() + decorations, available));
        m_pane->show();
        return;
    }
    m_pane->show();
    if (m_shiftedLeft > 0)
        m_form.move(m_form.pos() - QPoint(m_shiftedLeft, 0));
    m_form.resize(m_closedWidth + diagnostics::PrinterPane::kWidth, m_form.height());
    placePane();
}

void PrinterPaneHost::closePane()
{
    m_pane->hide();
    m_pane->paneClosed();
    if (m_ownWindow)
        return;
    m_form.resize(m_closedWidth, m_form.height());
    if (m_shiftedLeft > 0)
        m_form.move(m_form.pos() + QPoint(m_shiftedLeft, 0));
    m_shiftedLeft = 0;
}

void PrinterPaneHost::press(const std::string& bytes)
{
    printer::runWithPermissionHint(m_connection, [&] {
        m_pane->press(bytes,
            [this](const std::string& b) { return printer::sendToPrinter(m_connection, b); });
    });
}

void PrinterPaneHost::guard(const std::function<void()>& action) const
{
    const BusyPress busy(
        [this](QObject* watched, QEvent* event) { return answersWhileBusy(watched, event); });
    printer::runWithPermissionHint(m_connection, action);
}

bool PrinterPaneHost::answersWhileBusy(QObject* watched, QEvent* event) const
{
    // Closing reaches the window's handle first, then the widget.
    if (event->type() == QEvent::Close)
        return watched == &m_form || watched == m_pane || watched == m_form.windowHandle()
            || watched == m_pane->windowHandle();
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    // A click reaches the window first and the button under it next: both must let it pass.
    const QWidget* target = qobject_cast<QWidget*>(watched);
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        for (const QWidget* top : { static_cast<QWidget*>(&m_form), static_cast<QWidget*>(m_pane) })
            if (top->windowHandle() == window)
                target = top->childAt(at);
    }
    return target && (target == m_pane->queryButton() || target == m_form.Button23);
}

bool PrinterPaneHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_form && event->type() == QEvent::Resize && isOpen() && !m_ownWindow)
        placePane();
    // Leaving ends a question at once; a pane of its own closed by its frame is toggled off.
    if (event->type() == QEvent::Close && watched == &m_form) {
        m_pane->cancelQuery();
        if (m_ownWindow)
            m_pane->hide(); // it goes with the window it belongs to
    }
    if (event->type() == QEvent::Close && watched == m_pane && m_ownWindow) {
        m_pane->cancelQuery();
        QMetaObject::invokeMethod(
            this, [this] { setOpen(false); }, Qt::QueuedConnection);
    }
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
