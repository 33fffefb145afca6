#include "app/BusyPress.h"

#include "printer/PressWait.h"

#include <QApplication>
#include <QEvent>

namespace app {

namespace {

// Repainting more often than this gains nothing and costs the transfer time.
constexpr std::chrono::milliseconds pumpInterval(40);

bool isInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyPress::BusyPress(InputFilter stillAnswered)
    : m_stillAnswered(std::move(stillAnswered))
{
    printer::setWaitHook([this] { keepAlive(); });
}

BusyPress::~BusyPress()
{
    printer::setWaitHook({});
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

void BusyPress::keepAlive()
{
    const auto now = Clock::now();
    if (now - m_start < busyAfter || now - m_lastPump < pumpInterval)
        return;
    if (!m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busy = true;
    }
    m_lastPump = now;
    // Input that arrives meanwhile is dropped, not kept for later: a click on "Exit" or a
    // second press during a stalled send must not act once the press has ended.
    qApp->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
}

bool BusyPress::eventFilter(QObject* watched, QEvent* event)
{
    if (isInput(*event) && !(m_stillAnswered && m_stillAnswered(watched, event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace app
