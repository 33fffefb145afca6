#pragma once
// A combo box with an editable text part, as the window's drop-down boxes are: picking an item
// selects it, while typed text leaves no item selected (the typed text is never an item).

#include <QComboBox>

namespace app {

class EditableComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit EditableComboBox(QWidget* parent = nullptr);

    // The text of the selected item; empty when no item is selected.
    QString selectedItemText() const;

signals:
    // The operator picked an item or typed into the text part.
    void changed();

private:
    void textTyped(const QString& text);
};

} // namespace app
