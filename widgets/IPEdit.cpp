#include "widgets/IPEdit.h"

#include "widgets/IPFieldEdit.h"
#include "widgets/IPFieldRules.h"
#include "widgets/IPText.h"

#include "platform/ErrorReport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <qdrawutil.h>

using namespace widgets;

namespace {

// The sunken 3-D edge of a single border, two pixels on each side.
constexpr int borderWidth = 2;

template <typename Handler, typename... Args> void callHandler(const Handler& handler, Args... args)
{
    if (handler)
        platform::runReported([&] { handler(args...); });
}

} // namespace

// The client area: it paints the background and the dots, holds the fields and clips them, as
// a window's border clips its children. Clicks on it reach the TIPEdit (ignored here).
class TIPEdit::Surface : public QWidget {
public:
    explicit Surface(TIPEdit& owner)
        : QWidget(&owner)
        , m_owner(owner)
    {
        setObjectName(QStringLiteral("IPSurface"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_owner.paintSurface(painter);
    }

private:
    TIPEdit& m_owner;
};

TIPEdit::TIPEdit(QWidget* parent)
    : QWidget(parent)
    , m_surface(new Surface(*this))
    , m_color(QApplication::palette().color(QPalette::Base))
{
    for (int i = 0; i < ipFieldCount; ++i)
        m_fields[i] = new TIPFieldEdit(*this, m_surface, i);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::IBeamCursor);
    resize(125, 21);
    QFont initialFont = font();
    initialFont.setPointSize(9);
    initialFont.setBold(true);
    setFont(initialFont);
    setTabStop(true);
    setColor(m_color);
    applyBorder();
    connect(qApp, &QApplication::focusChanged, this, &TIPEdit::applicationFocusChanged);
}

TIPEdit::~TIPEdit()
{
    // The fields go first, while the control is whole; nothing they do on the way out (losing
    // the focus) may reach a control that is going away.
    disconnect(qApp, nullptr, this, nullptr);
    if (QWidget* focused = QApplication::focusWidget(); ownsFocusWidget(focused))
        focused->clearFocus();
    delete m_surface;
}

QString TIPEdit::IPString() const
{
    IPOctets octets {};
    for (int i = 0; i < ipFieldCount; ++i)
        octets[i] = m_fields[i]->error() ? 255 : m_fields[i]->value();
    return QString::fromStdString(formatIPString(octets));
}

void TIPEdit::setIPString(const QString& text)
{
    const auto octets = parseIPString(text.toUtf8().toStdString());
    if (!octets)
        return;
    for (int i = 0; i < ipFieldCount; ++i)
        m_fields[i]->setOctet((*octets)[i]);
}

bool TIPEdit::error() const
{
    return std::any_of(m_fields.begin(), m_fields.end(), [](auto* f) { return f->error(); });
}

bool TIPEdit::readOnly() const
{
    return m_fields[0]->isReadOnly();
}

void TIPEdit::setReadOnly(bool readOnly)
{
    if (readOnly == this->readOnly())
        return;
    for (auto* f : m_fields)
        f->setReadOnly(readOnly);
}

// The window's tab chain holds the control as one stop, so it can be ordered like any other
// widget; the fields take clicks, and Tab between them is the control's own (tabFromField).
void TIPEdit::setTabStop(bool tabStop)
{
    m_tabStop = tabStop;
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
    for (auto* f : m_fields)
        f->setFocusPolicy(Qt::ClickFocus);
}

void TIPEdit::setBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    applyBorder();
}

void TIPEdit::applyBorder()
{
    const int margin = m_borderStyle == bsSingle ? borderWidth : 0;
    setContentsMargins(margin, margin, margin, margin);
    m_surface->setGeometry(contentsRect());
    arrangeFields();
    update();
}

void TIPEdit::setColor(const QColor& color)
{
    m_color = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
    update();
}

void TIPEdit::focusNextField(bool selectAll)
{
    const int next = nextFieldIndex(focusedFieldIndex());
    if (next < 0)
        return;
    TIPFieldEdit& target = *m_fields[next];
    if (selectAll)
        target.selectAll();
    else
        target.placeCaret(0);
    target.setFocus(Qt::OtherFocusReason);
}

void TIPEdit::focusPreviousField(bool selectAll)
{
    const int previous = previousFieldIndex(focusedFieldIndex());
    if (previous < 0)
        return;
    TIPFieldEdit& target = *m_fields[previous];
    if (selectAll)
        target.selectAll();
    else
        target.placeCaret(ipFieldMaxLength);
    target.setFocus(Qt::OtherFocusReason);
}

int TIPEdit::focusedFieldIndex() const
{
    for (int i = 0; i < ipFieldCount; ++i)
        if (m_fields[i]->hasFocus())
            return i;
    return -1;
}

LayoutFontSize TIPEdit::layoutFont() const
{
    return layoutFontSize(font().pointSizeF(), font().pixelSize(), logicalDpiY());
}

IPLayout TIPEdit::currentLayout() const
{
    return computeIPLayout(width(), height(), layoutFont());
}

QSize TIPEdit::sizeHint() const
{
    const IPEditSize size = preferredIPEditSize(layoutFont());
    return { size.width, size.height };
}

void TIPEdit::arrangeFields()
{
    const IPLayout layout = currentLayout();
    for (int i = 0; i < ipFieldCount; ++i) {
        const FieldRect& r = layout.fields[i];
        m_fields[i]->setGeometry(r.x, r.y, r.width, r.height);
    }
}

void TIPEdit::paintEvent(QPaintEvent*)
{
    if (m_borderStyle != bsSingle)
        return;
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

void TIPEdit::paintSurface(QPainter& painter) const
{
    painter.fillRect(m_surface->rect(), m_color);
    QFont dotFont = font();
    dotFont.setBold(true);
    dotFont.setPointSize(ipDotPointSize);
    painter.setFont(dotFont);
    painter.setPen(palette().color(QPalette::Text));
    const IPLayout layout = currentLayout();
    // The layout gives the top of each dot's text cell, QPainter draws from the baseline; and
    // the ink starts at the gap, whatever side bearing the face gives its full stop.
    const QFontMetrics metrics = painter.fontMetrics();
    const int baseline = layout.dotY + metrics.ascent();
    const int bearing = metrics.leftBearing(QLatin1Char('.'));
    for (int x : layout.dotX)
        painter.drawText(x - bearing, baseline, QStringLiteral("."));
}

void TIPEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_surface->setGeometry(contentsRect());
    arrangeFields();
    update();
}

void TIPEdit::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        arrangeFields();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
}

bool TIPEdit::event(QEvent* event)
{
    // The fields are text boxes with their own cursor; the control's cursor is theirs too.
    if (event->type() == QEvent::CursorChange) {
        for (auto* f : m_fields)
            f->setCursor(cursor());
        m_surface->setCursor(cursor());
    }
    return QWidget::event(event);
}

void TIPEdit::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (focusedFieldIndex() < 0)
        m_fields[0]->setFocus(Qt::MouseFocusReason);
    event->accept();
}

bool TIPEdit::ownsFocusWidget(const QWidget* widget) const
{
    return widget == this || std::find(m_fields.begin(), m_fields.end(), widget) != m_fields.end();
}

void TIPEdit::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_fields[0]->setFocus(event->reason());
}

bool TIPEdit::tabFromField(int index, bool forward)
{
    const Qt::FocusReason reason = forward ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    const int target = !m_tabStop ? -1
        : forward                 ? nextFieldIndex(index)
                                  : previousFieldIndex(index);
    if (target >= 0)
        m_fields[target]->setFocus(reason);
    else if (QWidget* neighbour = neighbourTabStop(forward))
        neighbour->setFocus(reason);
    return true;
}

QWidget* TIPEdit::neighbourTabStop(bool forward) const
{
    QWidget* candidate = const_cast<TIPEdit*>(this);
    for (;;) {
        candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (!candidate || candidate == this)
            return nullptr;
        const bool tabStop = (candidate->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (tabStop && !isAncestorOf(candidate) && !candidate->focusProxy()
            && candidate->window() == window() && candidate->isEnabled()
            && candidate->isVisibleTo(window()))
            return candidate;
    }
}

void TIPEdit::fieldFocusedIn(int index, Qt::FocusReason reason)
{
    if (m_focusInside)
        return;
    m_focusInside = true;
    if (index != 0)
        m_fields[0]->setFocus(reason);
    doEnter();
}

void TIPEdit::applicationFocusChanged(QWidget*, QWidget* now)
{
    // The focus leaves the control only for another control of its own window. No focus
    // widget means the window lost activation, and a widget of another window (a modal box,
    // another program window) took it only while that window is active: in both cases the
    // focus comes back here when this window is active again.
    if (!now || ownsFocusWidget(now) || !m_focusInside || now->window() != window())
        return;
    m_focusInside = false;
    doExit();
}

void TIPEdit::doChange()
{
    callHandler(OnChange, static_cast<QObject*>(this));
}

void TIPEdit::doError(int field)
{
    callHandler(OnError, static_cast<QObject*>(this), field);
}

void TIPEdit::doEnter()
{
    callHandler(OnEnter, static_cast<QObject*>(this));
}

void TIPEdit::doExit()
{
    callHandler(OnExit, static_cast<QObject*>(this));
}
