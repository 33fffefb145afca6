#include "app/EditableComboBox.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QValidator>

namespace app {

namespace {

// Accepts any typing but never calls the text finished, so the line edit never reports
// "editing finished" (on Enter or when the focus leaves), which would make the combo box
// select the item that has the typed text.
class NeverFinished : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString&, int&) const override { return Intermediate; }
};

} // namespace

EditableComboBox::EditableComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    // Typed text must stay what was typed: no completion into an item, no new item on Enter.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setValidator(new NeverFinished(this));
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
