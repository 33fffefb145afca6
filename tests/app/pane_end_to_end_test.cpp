// The printer pane in the real window on a real display (run by pane_xvfb.sh under Xvfb): the
// operator opens the pane with its toggle, presses "Query status", and the lights show the
// printer's state; a picture of the window is saved to $PANE_PICTURE.
#include "app/TForm1.h"
#include "diagnostics/StatusLight.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace testsupport;
using diagnostics::Lamp;
using diagnostics::StatusLight;

namespace {

class PaneEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        printer = ScriptedPrinter::onPty();
        namespace fs = std::filesystem;
        fs::create_directories(machine.sysRoot() + "/sys/class/tty/ttyQ0/device/driver");
        fs::create_directories(machine.sysRoot() + "/dev");
        fs::create_symlink(printer->slavePath(), machine.sysRoot() + "/dev/ttyQ0");
        form = machine.startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QRadioButton*>("RadioButton1")->click();
        press(*form, "PaneToggle");
        QTest::qWait(100);
    }
    const StatusLight& light(const char* key)
    {
        return *form->findChild<StatusLight*>(QString("light-") + key);
    }

    WindowTestMachine machine;
    std::unique_ptr<ScriptedPrinter> printer;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(PaneEndToEnd, PaperEndCoverOpenAndOfflineShowOnTheLights)
{
    printer->answerAsHealthyPrinter();
    printer->answer("\x10\x04\x01", "\x1A"); // offline
    printer->answer("\x10\x04\x02", "\x16"); // cover open
    printer->answer("\x10\x04\x04", "\x72"); // paper end
    press(*form, "QueryStatus");
    QTest::qWait(100);
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(light("online").lamp(), Lamp::Red);
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Red);
    EXPECT_EQ(light("cutter-error").lamp(), Lamp::Green);
    EXPECT_EQ(light("model").lamp(), Lamp::Green);

    const QByteArray picture = qgetenv("PANE_PICTURE");
    if (!picture.isEmpty()) {
        // At its stored left edge the wider window reaches past the 1024-pixel display.
        form->move(0, form->y());
        QTest::qWait(500); // the X server's own move and repaint
        const QPixmap shot = form->screen()->grabWindow(form->winId());
        ASSERT_TRUE(shot.save(QString::fromLocal8Bit(picture), "PNG"));
        EXPECT_EQ(shot.size(), form->size());
    }
}

TEST_F(PaneEndToEnd, APrinterThatNeverAnswersShowsGreyNoAnswer)
{
    form->findChild<QSpinBox*>("AnswerLimit")->setValue(100);
    press(*form, "QueryStatus");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(light("online").lamp(), Lamp::Grey);
    EXPECT_EQ(light("online").words(), "online: no answer");
    EXPECT_EQ(light("paper-end").words(), "paper end: no answer");
}
