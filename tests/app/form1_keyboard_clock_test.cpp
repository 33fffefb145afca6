// The window as an operator meets it in an offscreen application: Tab and Shift+Tab walk every
// control without typing into the test text, and the clock panel shows its whole text, seconds
// included, at the stored window size in the locales the program is used in.
#include "app/FittingLabel.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "tests/app/WindowTestMachine.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace app;

namespace {

// The window's control that holds the focus widget (an editable combo box's line edit and an IP
// editor's fields belong to their control).
QString controlName(const QWidget* widget)
{
    static const QRegularExpression controlNames("^(?!IPField)[A-Z][A-Za-z]+[0-9]+$");
    for (; widget; widget = widget->parentWidget())
        if (controlNames.match(widget->objectName()).hasMatch())
            return widget->objectName();
    return QString();
}

// The controls the focus visits, one Tab (or Shift+Tab) at a time, from Memo1 back to it.
QStringList walkFocus(TForm1& form, Qt::KeyboardModifiers modifiers)
{
    form.Memo1->setFocus();
    QStringList visited;
    for (int step = 0; step < 60; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        const QString name = controlName(QApplication::focusWidget());
        if (name == "Memo1")
            return visited;
        if (visited.isEmpty() || visited.last() != name)
            visited << name;
    }
    ADD_FAILURE() << "the focus never came back to Memo1: " << visited.join(' ').toStdString();
    return visited;
}

class Form1Keyboard : public testing::Test {
protected:
    std::unique_ptr<TForm1> shownWindow()
    {
        auto form = machine.startWindow();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    testsupport::WindowTestMachine machine;
};

} // namespace

TEST_F(Form1Keyboard, TabAndShiftTabWalkEveryControlWithoutTypingIntoTheTestText)
{
    const auto form = shownWindow();
    const QString text = form->Memo1->toPlainText();
    const QStringList forward = walkFocus(*form, Qt::NoModifier);
    EXPECT_TRUE(forward.indexOf(QRegularExpression("^RadioButton[123]$")) >= 0)
        << forward.join(' ').toStdString();
    for (const char* name : { "ComComboBox1", "ComComboBox2", "ComboBox25", "IPEdit1", "Button1",
             "Button2", "Button3", "Button23" })
        EXPECT_TRUE(forward.contains(name)) << name << " in " << forward.join(' ').toStdString();
    EXPECT_EQ(form->Memo1->toPlainText(), text) << "Tab typed into the test text";

    QStringList backward = walkFocus(*form, Qt::ShiftModifier);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
    EXPECT_EQ(form->Memo1->toPlainText(), text);
}

TEST_F(Form1Keyboard, TheClockShowsItsSecondsAtTheStoredSizeInEveryLocale)
{
    for (const char* name : { "de_DE", "en_US", "C", "ja_JP" }) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        const auto form = shownWindow();
        FittingLabel& clock = form->StatusBar1->panel(2);
        form->Timer1Timer(form.get());
        // The whole text is inside the panel, its frame and indent taken off.
        const int indent = clock.fontMetrics().horizontalAdvance(u'x') / 2;
        EXPECT_LE(clock.fontMetrics().horizontalAdvance(clock.text()),
            clock.contentsRect().width() - indent)
            << name << ": " << clock.text().toStdString();
        // And what the panel shows changes from one second to the next.
        const QImage before = clock.grab().toImage();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                form->Timer1Timer(form.get());
                return clock.grab().toImage() != before;
            },
            1500))
            << name << ": " << clock.text().toStdString();
    }
    QLocale::setDefault(QLocale::system());
}
