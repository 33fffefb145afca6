#include "tests/app/WindowTestMachine.h"

#include "app/Form1Description.h"
#include "app/StatusBar.h"
#include "widgets/IPEdit.h"
#include "widgets/IPFieldEdit.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace testsupport {

WindowTestMachine::WindowTestMachine()
{
    std::filesystem::create_directories(root.path() + "/sys/class/tty");
    platform::setApplicationTitle("Quillet v1.0");
}

std::unique_ptr<app::TForm1> WindowTestMachine::startWindow() const
{
    auto form = app::TForm1::create(app::form1Description());
    form->doCreate();
    return form;
}

QString panel(const app::TForm1& form, int index)
{
    return form.StatusBar1->panelText(index);
}

void pick(QComboBox& list, int index)
{
    list.setCurrentIndex(index);
    emit list.activated(index);
}

void typeAddress(app::TForm1& form, const QString& address)
{
    const QStringList octets = address.split(u'.');
    for (int i = 0; i < 4; ++i) {
        TIPFieldEdit& field = form.IPEdit1->field(i);
        field.selectAll();
        QTest::keyClicks(&field, octets.value(i));
    }
}

void press(app::TForm1& form, const char* name)
{
    auto* control = form.findChild<QWidget*>(name);
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void chooseParallel(app::TForm1& form)
{
    auto* lpt = form.findChild<QRadioButton*>("RadioButton2");
    lpt->click();
    EXPECT_TRUE(lpt->isChecked());
}

void setTestText(app::TForm1& form, const QString& text)
{
    form.findChild<QPlainTextEdit*>("Memo1")->setPlainText(text);
}

QString largeTestText(std::size_t bytes)
{
    const QString line(79, u'x');
    QStringList lines;
    for (std::size_t i = 0; i < bytes / 80; ++i)
        lines << line;
    return lines.join(u'\n');
}

} // namespace testsupport
