#pragma once
// TIPEdit: an IPv4 address editor. Four one-octet boxes (TIPFieldEdit) side by side on a
// self-painting surface that draws a dot between neighbours; the address is read and written
// as dotted text through IPString.
//
// Choices made for this control:
// - OnChange, OnError, OnEnter and OnExit are std::function slots (assign, or leave empty).
//   They are called synchronously on the GUI thread, each through platform::runReported, so an
//   exception from a handler reaches the default error report and never unwinds through Qt.
// - Sender is the TIPEdit itself.
// - Focus: the window's tab chain holds the control as one stop (order it with setTabOrder like
//   any widget). Whenever the focus enters from outside it lands in field 0; Tab and Backtab
//   then walk the fields. OnExit is raised only when the focus moves on to another control of
//   the same window: a modal box or another window taking it raises nothing, since the focus
//   comes back to the field when this window is active again. A control being destroyed raises
//   no events.
// - Reading IPString inside an OnError handler gives a complete dotted address in which the
//   field in error reads 255, the value it is about to be corrected to.

#include "widgets/IPLayout.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <functional>

class TIPFieldEdit;

// The handler of OnError: field is the index (0 to 3) of the box holding a non-octet.
using TIPErrorEvent = std::function<void(QObject* sender, int field)>;
// A plain notification (OnChange, OnEnter, OnExit).
using TIPNotifyEvent = std::function<void(QObject* sender)>;

enum TBorderStyle { bsNone, bsSingle };

class TIPEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString IPString READ IPString WRITE setIPString)
    Q_PROPERTY(bool Error READ error)
    Q_PROPERTY(bool ReadOnly READ readOnly WRITE setReadOnly)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
    Q_PROPERTY(QColor Color READ color WRITE setColor)

public:
    // A new control reads 0.0.0.0, is 125 x 21 pixels, 9-point bold, I-beam cursor, with a
    // single (sunken) border.
    explicit TIPEdit(QWidget* parent = nullptr);
    ~TIPEdit() override;

    // "a.b.c.d" from the four stored octets.
    QString IPString() const;
    // Fills the four fields from dotted text; a token that is not an octet becomes 255, and
    // text with fewer than three dots changes nothing. Raises no OnChange.
    void setIPString(const QString& text);

    // True while a field is in error, which is only ever seen inside an OnError handler.
    bool error() const;

    bool readOnly() const;
    // Typing is blocked in all four fields; arrows, "." and clicks still move the focus.
    void setReadOnly(bool readOnly);

    bool tabStop() const { return m_tabStop; }
    // With tabStop, Tab enters the control at field 0 and walks the fields in index order;
    // without it Tab passes the control by, and from a field leaves it.
    void setTabStop(bool tabStop);

    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);

    // The background of the control and its fields.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    // The fields, index 0 (leftmost) to 3.
    TIPFieldEdit& field(int index) const { return *m_fields.at(index); }

    // Hands the focus to the field after the focused one (its text selected, or caret at 0).
    void focusNextField(bool selectAll);
    // Hands the focus to the field before the focused one (its text selected, or caret at end).
    void focusPreviousField(bool selectAll);
    // The field that holds the focus, -1 when none does.
    int focusedFieldIndex() const;
    // Places the four fields for the current size and font.
    void arrangeFields();
    // The geometry arrangeFields applies and the surface paints by.
    widgets::IPLayout currentLayout() const;

    QSize sizeHint() const override;

    TIPNotifyEvent OnChange;
    TIPErrorEvent OnError;
    TIPNotifyEvent OnEnter;
    TIPNotifyEvent OnExit;

protected:
    // Each event goes through one of these, which calls the slot when it is assigned.
    virtual void doChange();
    virtual void doError(int field);
    virtual void doEnter();
    virtual void doExit();

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    friend class TIPFieldEdit;
    class Surface;

    // A field received the focus; entering from outside the control sends it to field 0.
    void fieldFocusedIn(int index, Qt::FocusReason reason);
    // Tab or Backtab in a field: the next field in the row, or the window's next tab stop.
    bool tabFromField(int index, bool forward);
    QWidget* neighbourTabStop(bool forward) const;
    void applicationFocusChanged(QWidget* old, QWidget* now);
    bool ownsFocusWidget(const QWidget* widget) const;
    void paintSurface(QPainter& painter) const;
    void applyBorder();
    widgets::LayoutFontSize layoutFont() const;

    Surface* m_surface;
    std::array<TIPFieldEdit*, 4> m_fields {};
    TBorderStyle m_borderStyle = bsSingle;
    QColor m_color;
    bool m_tabStop = true;
    bool m_focusInside = false;
};
