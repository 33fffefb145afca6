#pragma once
// The building blocks of window descriptions: how a control is created and the property steps
// a description stores. A step applied to a control it does not fit raises, which the loader
// reports as a reading error.

#include "app/TForm1.h"
#include "app/WindowDescription.h"

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace app {

using CreateStep = std::function<QObject*(TForm1& form, QWidget* parent)>;

// Creates a T inside its parent and stores it in the window's field.
template <typename T> CreateStep createAs(T* TForm1::*field)
{
    return [field](TForm1& form, QWidget* parent) -> QObject* {
        T* control = new T(parent);
        form.*field = control;
        return control;
    };
}

// Creates a T that has a loading state, as createAs does, and keeps it loading until the whole
// description has been applied (references between controls resolved): beginLoading now,
// endLoading then.
template <typename T> CreateStep createLoadingAs(T* TForm1::*field)
{
    return [field](TForm1& form, QWidget* parent) -> QObject* {
        QObject* control = createAs(field)(form, parent);
        T* loading = form.*field;
        loading->beginLoading();
        form.whenLoaded([loading] { loading->endLoading(); });
        return control;
    };
}

// The description's entry for the window itself.
CreateStep theWindow();

// The control as a T; a property that a control of another class does not have raises.
template <typename T> T& controlAs(QObject& control, const std::string& property)
{
    if (auto* typed = qobject_cast<T*>(&control))
        return *typed;
    throw std::invalid_argument("Property " + property + " does not exist");
}

// A step that applies only to controls of class T.
template <typename T> PropertyStep propertyOf(std::string name, std::function<void(T&)> apply)
{
    return { name,
        [name, apply](TForm1&, QObject& control) { apply(controlAs<T>(control, name)); } };
}

// The desktop's own face throughout: the fonts of the original desktop are not assumed.
struct FontSpec {
    int pointSize = 0; // 0: the window's size
    bool bold = false;
    QColor color = {}; // invalid: the default text colour
};

PropertyStep bounds(int left, int top, int width, int height);
// Position of a control that sizes itself to its content.
PropertyStep autoSizedAt(int left, int top);
// The window: frame position and client size.
PropertyStep windowBounds(int left, int top, int clientWidth, int clientHeight);
// No system menu, minimise, maximise or close box.
PropertyStep noBorderIcons();
// Caption of the window, a button, a group box or a label.
PropertyStep caption(const QString& text);
// Text of an edit box, a text box or a combo box's text part.
PropertyStep text(const QString& text);
PropertyStep items(const QStringList& items);
PropertyStep itemIndex(int index);
PropertyStep checked(bool checked);
// Makes the radio button one of the exclusive group of this name (Qt's automatic exclusivity
// would also take in the radio buttons of nested group boxes).
PropertyStep radioGroup(const QString& name);
PropertyStep visible(bool visible);
PropertyStep font(const FontSpec& style);
PropertyStep verticalScrollBar();
// Whether a text box takes Tab as a character; without it Tab moves the focus on.
PropertyStep wantTabs(bool wanted);
PropertyStep picture(QPixmap (*make)());
PropertyStep cursor(Qt::CursorShape shape);
PropertyStep statusPanels(const std::vector<int>& widths);
PropertyStep timerInterval(int milliseconds);
PropertyStep timerEnabled(bool enabled);

// Binds a handler to a signal of the control.
template <typename Sender, typename... Args>
PropertyStep event(
    const std::string& name, void (Sender::*signal)(Args...), TForm1::Handler handler)
{
    return { name, [name, signal, handler](TForm1& form, QObject& control) {
                Sender* sender = &controlAs<Sender>(control, name);
                QObject::connect(sender, signal, &form,
                    [&form, handler, sender] { form.dispatch(handler, sender); });
            } };
}

// A radio button's OnClick: runs when the button becomes the checked one.
PropertyStep onRadioClick(TForm1::Handler handler);
PropertyStep onCreate(TForm1::Handler handler);

} // namespace app
