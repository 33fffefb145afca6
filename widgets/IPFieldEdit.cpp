#include "widgets/IPFieldEdit.h"

#include "widgets/IPEdit.h"
#include "widgets/IPFieldRules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>
#include <optional>
#include <utility>

using namespace widgets;

namespace {

// The character a key press types, as the field's rules see it; nothing for keys that type
// none (arrows, Home, End, Delete, Tab, function keys). Ctrl with a letter types the control
// character of that letter, so clipboard and undo shortcuts count as characters too.
std::optional<char32_t> typedCharacter(const QKeyEvent& event)
{
    const bool control = event.modifiers().testFlag(Qt::ControlModifier)
        && !event.modifiers().testFlag(Qt::AltModifier);
    const int key = event.key();
    switch (key) {
    case Qt::Key_Backspace:
        return control ? U'\x7f' : U'\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return U'\r';
    case Qt::Key_Escape:
        return U'\x1b';
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return std::nullopt;
    default:
        break;
    }
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<char32_t>(key - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || !text.front().isPrint())
        return std::nullopt;
    return text.front().unicode();
}

QString digitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (isFieldDigit(c.unicode()))
            digits += c;
    }
    return digits;
}

} // namespace

TIPFieldEdit::TIPFieldEdit(TIPEdit& owner, QWidget* parent, int index)
    : QLineEdit(parent)
    , m_owner(owner)
    , m_index(index)
{
    setObjectName(QStringLiteral("IPField%1").arg(index));
    // Set before the change handler is bound, so construction runs no validation.
    setText(QStringLiteral("0"));
    setMaxLength(ipFieldMaxLength);
    setFrame(false);
    // Centred across, at the top like any single-line box: the field may be taller than the
    // client area that shows it.
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    connect(this, &QLineEdit::textChanged, this, [this] {
        // A replacement from code validates once it has placed the caret (replaceText).
        if (!m_replacing)
            validateField();
    });
}

int TIPFieldEdit::caretColumn() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TIPFieldEdit::placeCaret(int column)
{
    setCursorPosition(std::clamp(column, 0, static_cast<int>(text().size())));
}

void TIPFieldEdit::setOctet(std::uint8_t value)
{
    m_value = value;
    replaceText(QString::number(value));
}

void TIPFieldEdit::replaceText(const QString& newText)
{
    if (newText == text())
        return;
    const bool outer = std::exchange(m_replacing, true);
    setText(newText);
    setCursorPosition(0);
    m_replacing = outer;
    validateField();
}

void TIPFieldEdit::validateField()
{
    const FieldVerdict verdict = checkFieldText(text().toUtf8().toStdString());
    if (verdict.kind == FieldVerdict::Invalid) {
        m_error = true;
        m_owner.doError(m_index);
        replaceText(QStringLiteral("255"));
    } else if (verdict.kind == FieldVerdict::Valid) {
        m_error = false;
        if (verdict.value != m_value) {
            m_value = verdict.value;
            m_owner.doChange();
        }
    }
    if (shouldAdvance(m_error, static_cast<int>(text().size()), caretColumn()))
        m_owner.focusNextField(true);
}

void TIPFieldEdit::keyPressEvent(QKeyEvent* event)
{
    if (handleArrow(*event) || handleCharacter(*event))
        return;
    QLineEdit::keyPressEvent(event);
}

void TIPFieldEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString digits = digitsOf(event->commitString());
    if (digits == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(digits, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// True when the rules consumed or discarded the key; false leaves it to the text box.
bool TIPFieldEdit::handleCharacter(QKeyEvent& event)
{
    const auto character = typedCharacter(event);
    if (!character)
        return false;
    switch (charAction(*character, text().isEmpty(), hasSelectedText(), caretColumn())) {
    case CharAction::Apply:
        return false;
    case CharAction::PreviousThenApply: {
        // Losing the focus clears a text box's selection; the Backspace still deletes it.
        const int start = selectionStart();
        const auto length = selectedText().size();
        m_owner.focusPreviousField(false);
        if (length > 0)
            setSelection(start, static_cast<int>(length));
        return false;
    }
    case CharAction::FocusNext:
        m_owner.focusNextField(true);
        event.accept();
        return true;
    case CharAction::Discard:
        // Enter and Escape stay the window's (default and cancel buttons); the rest is dropped.
        if (*character == U'\r' || *character == U'\x1b')
            event.ignore();
        else
            event.accept();
        return true;
    }
    return false;
}

bool TIPFieldEdit::handleArrow(QKeyEvent& event)
{
    if (event.key() != Qt::Key_Left && event.key() != Qt::Key_Right)
        return false;
    const auto action
        = arrowAction(event.key() == Qt::Key_Right, static_cast<int>(text().size()), caretColumn());
    if (action == ArrowAction::Ordinary)
        return false;
    deselect();
    if (action == ArrowAction::FocusNext)
        m_owner.focusNextField(false);
    else
        m_owner.focusPreviousField(false);
    event.accept();
    return true;
}

void TIPFieldEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_owner.fieldFocusedIn(m_index, event->reason());
}

bool TIPFieldEdit::focusNextPrevChild(bool next)
{
    return m_owner.tabFromField(m_index, next);
}
