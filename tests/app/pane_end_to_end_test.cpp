// The printer pane in the real window on a real display (run by pane_xvfb.sh under Xvfb, in a
// network namespace of its own where the machine allows one) against the real
// quillet-virtual-printer on a pseudo-terminal and on loopback TCP: the operator opens the pane
// with its toggle and presses "Query status", and the lights show the state the printer was
// given. A picture of the window is saved to $PANE_PICTURE.
#include "PrinterProcess.h"
#include "app/PrinterPaneHost.h"
#include "app/TForm1.h"
#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "support/TcpListener.h"
#include "tests/app/WindowTestMachine.h"
#include "widgets/IPEdit.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace testsupport;
using diagnostics::Lamp;
using diagnostics::StatusLight;

namespace {

const char* const kPrinterAddress = "127.0.117.71";

class PaneEndToEnd : public testing::Test {
protected:
    void startWindow()
    {
        form = machine.startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void openPaneAndQuery()
    {
        press(*form, "PaneToggle");
        QTest::qWait(50);
        press(*form, "QueryStatus");
        EXPECT_TRUE(machine.boxes.boxes().empty());
    }
    StatusLight& light(const char* key)
    {
        return *form->findChild<StatusLight*>(QString("light-") + key);
    }
    // The colour painted at the middle of a light's dot, as the display shows it.
    QColor painted(const char* key)
    {
        const QImage picture = light(key).grab().toImage();
        return picture.pixelColor(6, picture.height() / 2);
    }
    void expectTroubleShown()
    {
        EXPECT_EQ(light("online").lamp(), Lamp::Red);
        EXPECT_EQ(light("online").words(), "offline");
        EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
        EXPECT_EQ(light("paper-end").lamp(), Lamp::Red);
        EXPECT_EQ(light("cutter-error").lamp(), Lamp::Green);
        EXPECT_EQ(light("model").lamp(), Lamp::Green);
        EXPECT_EQ(painted("paper-end"), QColor(0xd0, 0x30, 0x30));
        EXPECT_EQ(painted("cutter-error"), QColor(0x2e, 0x9e, 0x3e));
    }
    void savePicture()
    {
        const QByteArray picture = qgetenv("PANE_PICTURE");
        if (picture.isEmpty())
            return;
        QTest::qWait(500); // the X server's own repaint
        const QPixmap shot = form->screen()->grabWindow(form->winId());
        ASSERT_TRUE(shot.save(QString::fromLocal8Bit(picture), "PNG"));
        EXPECT_EQ(shot.size(), form->size());
    }

    WindowTestMachine machine;
    TempDir receipts;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(PaneEndToEnd, TheVirtualPrintersTroubleOnAPseudoTerminalShowsOnTheLights)
{
    PrinterProcess printer({ "--pty", "ttyVP0", "--sysroot", machine.sysRoot(), "--out",
        receipts.path(), "--status", "paper-end,cover-open,offline" });
    printer.waitForLine("ready");
    startWindow();
    form->findChild<QRadioButton*>("RadioButton1")->click();
    ASSERT_EQ(form->findChild<QComboBox*>("ComComboBox1")->currentText(), "ttyVP0");
    openPaneAndQuery();
    expectTroubleShown();
    savePicture();

    // The printer is mended: the next question shows it.
    printer.writeLine("status none");
    printer.waitForLine("status ");
    press(*form, "QueryStatus");
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Green);
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Green);
}

TEST_F(PaneEndToEnd, TheVirtualPrintersTroubleOverTcpShowsOnTheLights)
{
    PrinterProcess printer({ "--tcp", std::string(kPrinterAddress) + ":9100", "--out",
        receipts.path(), "--status", "paper-end,cover-open,offline" });
    printer.waitForLine("ready");
    startWindow();
    typeAddress(*form, kPrinterAddress);
    ASSERT_EQ(form->IPEdit1->IPString(), kPrinterAddress); // never the window's default
    openPaneAndQuery();
    expectTroubleShown();
}

TEST_F(PaneEndToEnd, AListenerThatNeverRepliesShowsGreyNoAnswer)
{
    TcpListener silent(kPrinterAddress, 9100);
    startWindow();
    typeAddress(*form, kPrinterAddress);
    ASSERT_EQ(form->IPEdit1->IPString(), kPrinterAddress);
    press(*form, "PaneToggle");
    form->findChild<QSpinBox*>("AnswerLimit")->setValue(100);
    press(*form, "QueryStatus");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(light("online").lamp(), Lamp::Grey);
    EXPECT_EQ(light("online").words(), "online: no answer");
    EXPECT_EQ(light("paper-end").words(), "paper end: no answer");
    EXPECT_EQ(painted("paper-end"), QColor(0xa0, 0xa0, 0xa0));
}

TEST_F(PaneEndToEnd, TheWidenedWindowStaysOnA1024By768ScreenAndGoesBackWhenThePaneCloses)
{
    startWindow();
    const QRect screen = form->screen()->availableGeometry();
    ASSERT_GE(screen.width(), form->frameGeometry().width() + diagnostics::PrinterPane::kWidth);
    // Where a point-of-sale terminal's session placed it: 191 + 974 passes 1024.
    form->move(191, 100);
    QTest::qWait(300);
    const QPoint before = form->pos();
    const QPoint exitButton = form->Button23->mapToGlobal(QPoint(0, 0)) - form->pos();
    press(*form, "PaneToggle");
    QTest::qWait(300); // the X server's own move
    EXPECT_FALSE(form->paneHost().pane().isWindow());
    EXPECT_TRUE(screen.contains(form->frameGeometry()))
        << form->frameGeometry().x() << "+" << form->frameGeometry().width();
    // The toggle at the right end of the status bar is on the screen, and every control kept
    // its place within the window.
    auto* toggle = form->findChild<QWidget*>("PaneToggle");
    EXPECT_TRUE(screen.contains(QRect(toggle->mapToGlobal(QPoint(0, 0)), toggle->size())));
    EXPECT_EQ(form->Button23->mapToGlobal(QPoint(0, 0)) - form->pos(), exitButton);

    press(*form, "PaneToggle");
    QTest::qWait(300);
    EXPECT_EQ(form->pos(), before);
}
