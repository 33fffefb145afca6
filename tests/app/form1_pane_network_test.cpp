// The printer pane over the network from the offscreen window: an address typed into the IP
// editor, the printer played on a loopback listener. Runs in a network namespace of its own
// where the machine allows one, so a mistyped address never leaves the machine.
#include "app/PrinterPaneHost.h"
#include "app/TForm1.h"
#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "support/TcpListener.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/printer/ScriptedPrinter.h"
#include "widgets/IPEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

using namespace testsupport;
using diagnostics::Lamp;
using diagnostics::StatusLight;

namespace {

class Form1PaneNetwork : public testing::Test {
protected:
    void SetUp() override
    {
        form = machine.startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        typeAddress(*form, address);
        ASSERT_EQ(form->IPEdit1->IPString(), address); // never the window's default
        form->paneHost().setOpen(true);
    }
    const StatusLight& light(const char* key)
    {
        return *form->findChild<StatusLight*>(QString("light-") + key);
    }

    const QString address = "127.0.117.51";
    WindowTestMachine machine;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(Form1PaneNetwork, QueryStatusAndStatusAfterAPressOnPort9100)
{
    auto printer = ScriptedPrinter::onTcp(address.toStdString());
    printer->answerAsHealthyPrinter();
    printer->answer("\x10\x04\x04", "\x7E"); // near end and end
    press(*form, "QueryStatus");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Red);
    EXPECT_EQ(light("paper-near-end").lamp(), Lamp::Red);

    form->paneHost().pane().findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    press(*form, "Button3");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(form->paneHost().pane().findChild<QLabel*>("StatusSummary")->text(),
        "sent 6 bytes, printer online, paper end");
}

TEST_F(Form1PaneNetwork, AListenerThatNeverRepliesShowsNoAnswer)
{
    TcpListener silent(address.toStdString(), 9100);
    form->paneHost().pane().findChild<QSpinBox*>("AnswerLimit")->setValue(60);
    press(*form, "QueryStatus");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(light("online").words(), "online: no answer");
    EXPECT_EQ(light("model").words(), "model: no answer");
}

TEST_F(Form1PaneNetwork, CancelAndExitEndAQuestionAtOnceWhileTheWindowIsBusy)
{
    TcpListener silent(address.toStdString(), 9100);
    auto& pane = form->paneHost().pane();
    pane.findChild<QSpinBox*>("AnswerLimit")->setValue(10000);
    using Clock = std::chrono::steady_clock;
    // The busy window drops every other click; "Cancel" (the question's own button) passes.
    QTimer::singleShot(700, [&] { QTest::mouseClick(pane.queryButton(), Qt::LeftButton); });
    auto start = Clock::now();
    press(*form, "QueryStatus");
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(
        form->paneHost().pane().findChild<QLabel*>("StatusSummary")->text(), "query cancelled");

    // "Exit" while asking: the question ends and the window closes.
    QTimer::singleShot(700, [&] { QTest::mouseClick(form->Button23, Qt::LeftButton); });
    start = Clock::now();
    press(*form, "QueryStatus");
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(machine.boxes.boxes().empty());
}
