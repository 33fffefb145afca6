#include "app/EditableComboBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace app {

EditableComboBox::EditableComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    // Typed text must stay what was typed: no completion into an item, no new items on Enter.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, this, &EditableComboBox::textTyped);
    connect(this, &QComboBox::activated, this, &EditableComboBox::changed);
}

QString EditableComboBox::selectedItemText() const
{
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void EditableComboBox::textTyped(const QString& text)
{
    if (currentIndex() >= 0) {
        // Dropping the selection also clears the text part, so the typed text is put back.
        const int cursor = lineEdit()->cursorPosition();
        const QSignalBlocker quiet(this);
        setCurrentIndex(-1);
        lineEdit()->setText(text);
        lineEdit()->setCursorPosition(cursor);
    }
    emit changed();
}

} // namespace app
