#pragma once
// TIPFieldEdit: one octet box of the IP editor. It keeps the last valid octet, judges every
// change of its text (typed, deleted, pasted, dropped or set from code), and turns digits, ".",
// Backspace and the arrow keys into moves between the four boxes of its TIPEdit.

#include <QLineEdit>

#include <cstdint>

class TIPEdit;

class TIPFieldEdit : public QLineEdit {
    Q_OBJECT

public:
    // Created by its TIPEdit (the owner), inside parent; index is 0 (leftmost) to 3.
    TIPFieldEdit(TIPEdit& owner, QWidget* parent, int index);

    int index() const { return m_index; }
    // Set while the last validation of a non-empty text failed (only inside OnError).
    bool error() const { return m_error; }
    // The last valid octet; emptying the text leaves it as it was.
    std::uint8_t value() const { return m_value; }

    // Start of the selection, or the caret position when nothing is selected.
    int caretColumn() const;
    // Puts the caret at column (clamped to the text) with nothing selected.
    void placeCaret(int column);
    // Stores value first, then shows it; so the nested validation raises no OnChange.
    void setOctet(std::uint8_t value);
    // The change handler: judges the text, raises OnError/OnChange, corrects, auto-advances.
    void validateField();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Text an input method commits keeps only its digits, as typed characters do.
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool handleCharacter(QKeyEvent& event);
    bool handleArrow(QKeyEvent& event);
    // Replaces the text from code: caret at column 0, then one validation if the text changed.
    void replaceText(const QString& text);

    TIPEdit& m_owner;
    const int m_index;
    bool m_error = false;
    std::uint8_t m_value = 0;
    bool m_replacing = false;
};
