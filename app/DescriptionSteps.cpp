#include "app/DescriptionSteps.h"

#include "app/StatusBar.h"
#include "serial/ctl/ComComboBox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>

namespace app {

CreateStep theWindow()
{
    return [](TForm1& form, QWidget*) -> QObject* { return &form; };
}

PropertyStep bounds(int left, int top, int width, int height)
{
    return propertyOf<QWidget>(
        "Bounds", [=](QWidget& widget) { widget.setGeometry(left, top, width, height); });
}

PropertyStep autoSizedAt(int left, int top)
{
    return propertyOf<QWidget>("Bounds", [=](QWidget& widget) {
        widget.move(left, top);
        widget.adjustSize();
    });
}

PropertyStep windowBounds(int left, int top, int clientWidth, int clientHeight)
{
    return propertyOf<TForm1>("Bounds", [=](TForm1& form) {
        form.move(left, top);
        form.resize(clientWidth, clientHeight);
    });
}

PropertyStep noBorderIcons()
{
    return propertyOf<TForm1>("BorderIcons", [](TForm1& form) {
        form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    });
}

PropertyStep caption(const QString& text)
{
    return { "Caption", [text](TForm1&, QObject& control) {
                if (auto* button = qobject_cast<QAbstractButton*>(&control))
                    return button->setText(text);
                if (auto* group = qobject_cast<QGroupBox*>(&control))
                    return group->setTitle(text);
                if (auto* label = qobject_cast<QLabel*>(&control))
                    return label->setText(text);
                controlAs<TForm1>(control, "Caption").setWindowTitle(text);
            } };
}

PropertyStep text(const QString& text)
{
    return { "Text", [text](TForm1&, QObject& control) {
                if (auto* selector = qobject_cast<cport::TComComboBox*>(&control))
                    return selector->setText(text);
                if (auto* edit = qobject_cast<QLineEdit*>(&control))
                    return edit->setText(text);
                if (auto* combo = qobject_cast<QComboBox*>(&control))
                    return combo->setEditText(text);
                controlAs<QPlainTextEdit>(control, "Text").setPlainText(text);
            } };
}

PropertyStep items(const QStringList& items)
{
    return propertyOf<QComboBox>("Items", [items](QComboBox& combo) {
        combo.clear();
        combo.addItems(items);
    });
}

PropertyStep itemIndex(int index)
{
    return { "ItemIndex", [index](TForm1&, QObject& control) {
                // A port-bound selector records the index while it is loading.
                if (auto* selector = qobject_cast<cport::TComComboBox*>(&control))
                    return selector->setItemIndex(index);
                controlAs<QComboBox>(control, "ItemIndex").setCurrentIndex(index);
            } };
}

PropertyStep checked(bool checked)
{
    return propertyOf<QRadioButton>(
        "Checked", [checked](QRadioButton& button) { button.setChecked(checked); });
}

PropertyStep radioGroup(const QString& name)
{
    return { "GroupIndex", [name](TForm1& form, QObject& control) {
                QButtonGroup* group
                    = form.findChild<QButtonGroup*>(name, Qt::FindDirectChildrenOnly);
                if (!group) {
                    group = new QButtonGroup(&form);
                    group->setObjectName(name);
                }
                group->addButton(&controlAs<QRadioButton>(control, "GroupIndex"));
            } };
}

PropertyStep visible(bool visible)
{
    return propertyOf<QWidget>(
        "Visible", [visible](QWidget& widget) { widget.setVisible(visible); });
}

PropertyStep font(const FontSpec& style)
{
    return propertyOf<QWidget>("Font", [style](QWidget& widget) {
        QFont font = widget.font();
        if (style.pointSize > 0)
            font.setPointSize(style.pointSize);
        font.setBold(style.bold);
        widget.setFont(font);
        if (style.color.isValid()) {
            QPalette palette = widget.palette();
            palette.setColor(QPalette::Text, style.color);
            palette.setColor(QPalette::WindowText, style.color);
            widget.setPalette(palette);
        }
    });
}

PropertyStep verticalScrollBar()
{
    return propertyOf<QPlainTextEdit>("ScrollBars", [](QPlainTextEdit& memo) {
        memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    });
}

PropertyStep wantTabs(bool wanted)
{
    return propertyOf<QPlainTextEdit>(
        "WantTabs", [wanted](QPlainTextEdit& memo) { memo.setTabChangesFocus(!wanted); });
}

PropertyStep picture(QPixmap (*make)())
{
    return propertyOf<QLabel>("Picture.Data", [make](QLabel& image) { image.setPixmap(make()); });
}

PropertyStep cursor(Qt::CursorShape shape)
{
    return propertyOf<QWidget>("Cursor", [shape](QWidget& widget) { widget.setCursor(shape); });
}

PropertyStep statusPanels(const std::vector<int>& widths)
{
    return propertyOf<StatusBar>(
        "Panels", [widths](StatusBar& bar) { bar.setPanelWidths(widths); });
}

PropertyStep timerInterval(int milliseconds)
{
    return propertyOf<QTimer>(
        "Interval", [milliseconds](QTimer& timer) { timer.setInterval(milliseconds); });
}

PropertyStep timerEnabled(bool enabled)
{
    return propertyOf<QTimer>("Enabled", [enabled](QTimer& timer) {
        if (enabled)
            timer.start();
        else
            timer.stop();
    });
}

PropertyStep onRadioClick(TForm1::Handler handler)
{
    return { "OnClick", [handler](TForm1& form, QObject& control) {
                QRadioButton* button = &controlAs<QRadioButton>(control, "OnClick");
                QObject::connect(
                    button, &QRadioButton::toggled, &form, [&form, handler, button](bool on) {
                        if (on)
                            form.dispatch(handler, button);
                    });
            } };
}

PropertyStep onCreate(TForm1::Handler handler)
{
    return propertyOf<TForm1>("OnCreate", [handler](TForm1& form) { form.setOnCreate(handler); });
}

} // namespace app
