// Presses to printers that stall or vanish, with real parts: a FIFO held open and never read as
// the parallel printer, pseudo-terminals that stop reading, read slowly or go away as serial
// printers, a slow loopback listener as the network printer. No press may take longer than the
// no-progress limit (7 s, ended within 6.9-8.5 s) once the printer takes nothing, a slow printer
// that keeps taking bytes is never cut off, and a long press keeps the window painted while it
// drops the operator's input.
#include "app/FittingLabel.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "printer/TestActions.h"
#include "serial/CPort.h"
#include "support/NoProgressLimit.h"
#include "support/TcpListener.h"
#include "tests/app/PtyPort.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/printer/PrinterFifo.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace testsupport;
using platform::MessageKind;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto limit = kNoProgressAtLeast;
constexpr auto limitAndMargin = std::chrono::seconds(20); // for sanitizer builds, loaded machines

// What the window did while a press lasted: how often the clock panel was painted, whether the
// busy cursor showed, and whether a click on "Exit" a second and a half in was dropped.
class PressObserver : public QObject {
public:
    explicit PressObserver(app::TForm1& form)
        : m_form(form)
    {
        form.StatusBar1->panel(2).installEventFilter(this);
        QTimer::singleShot(1500, this, [this] {
            const QCursor* cursor = QApplication::overrideCursor();
            busyCursor = cursor && cursor->shape() == Qt::WaitCursor;
            QTest::mouseClick(m_form.Button23, Qt::LeftButton);
            clickedExit = true;
        });
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++clockPaints;
        return QObject::eventFilter(watched, event);
    }

    int clockPaints = 0;
    bool busyCursor = false;
    bool clickedExit = false;

private:
    app::TForm1& m_form;
};

class Form1StalledPrinter : public testing::Test {
protected:
    // Starts and shows the window once the test's printer exists (the port list is read at
    // start).
    void start()
    {
        form = machine.startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // Presses a button and returns how long the press took.
    Clock::duration timedPress(const char* button)
    {
        const auto started = Clock::now();
        press(*form, button);
        return Clock::now() - started;
    }
    std::vector<platform::RecordingMessageService::Box> boxes() const
    {
        return machine.boxes.boxes();
    }
    void startWithCom()
    {
        start();
        form->RadioButton1->click();
        ASSERT_TRUE(form->RadioButton1->isChecked());
    }

    WindowTestMachine machine;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(Form1StalledPrinter, AParallelPrinterThatNeverReadsEndsThePressWithADeviceTimeout)
{
    PrinterFifo printer(machine.sysRoot() + "/dev/lp0"); // held open, never read
    start();
    form->RadioButton2->click();
    form->Memo1->setPlainText(largeTestText(1 << 20));
    PressObserver observer(*form);
    const auto took = timedPress("Button1");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes()[0].text, "I/O error 121.");
    EXPECT_GE(took, kNoProgressAtLeast);
    EXPECT_LE(took, kNoProgressAtMost);
    // Meanwhile the clock went on ticking on screen, under the busy cursor, and "Exit" did not
    // act on a click during the press, nor after it.
    EXPECT_GE(observer.clockPaints, 3);
    EXPECT_TRUE(observer.busyCursor);
    EXPECT_TRUE(observer.clickedExit);
    QTest::qWait(100);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1StalledPrinter, ASerialPrinterThatStopsReadingEndsThePressWithWriteTimeout)
{
    PtyPort printer(machine.sysRoot(), "ttyS0", PtyPort::Mode::StopsAfter4K);
    startWithCom();
    const auto form = this->form.get();
    const std::int32_t multiplier = form->CP->Timeouts().WriteTotalMultiplier();
    const std::int32_t constant = form->CP->Timeouts().WriteTotalConstant();
    form->Memo1->setPlainText(largeTestText(1 << 20));
    PressObserver observer(*form);
    // With the window's own write limit (100 ms a byte plus 1 s) this would wait for a day.
    const auto took = timedPress("Button1");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes()[0].text, "Write timeout");
    EXPECT_GE(took, kNoProgressAtLeast);
    EXPECT_LE(took, kNoProgressAtMost);
    EXPECT_GE(observer.clockPaints, 3);
    EXPECT_FALSE(form->CP->Connected());
    EXPECT_EQ(printer.take(4096).size(), 4096u);
    // The port's own limits are as they were.
    EXPECT_EQ(form->CP->Timeouts().WriteTotalMultiplier(), multiplier);
    EXPECT_EQ(form->CP->Timeouts().WriteTotalConstant(), constant);
}

TEST_F(Form1StalledPrinter, ASlowSerialPrinterThatKeepsReadingIsNeverCutOff)
{
    PtyPort printer(machine.sysRoot(), "ttyS0", PtyPort::Mode::Slow); // 1 KB every 500 ms
    startWithCom();
    // More than the terminal buffers plus what the printer reads in the limit.
    form->Memo1->setPlainText(largeTestText(40 << 10));
    const std::string sent = printer::printTestBytes(form->memo1Bytes());
    PressObserver observer(*form);
    const auto took = timedPress("Button1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_GT(took, limit) << "the printer was not slow";
    // The window stayed alive on the press's own thread, and "Exit" did not act.
    EXPECT_GE(observer.clockPaints, 3);
    EXPECT_TRUE(observer.busyCursor);
    EXPECT_TRUE(observer.clickedExit);
    QTest::qWait(100);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(printer.take(sent.size(), 30000) == sent);
}

TEST_F(Form1StalledPrinter, ASerialPrinterUnpluggedMidSendWorksAgainOncePluggedIn)
{
    auto printer = std::make_unique<PtyPort>(machine.sysRoot(), "ttyS0", PtyPort::Mode::NeverRead);
    startWithCom();
    form->Memo1->setPlainText(largeTestText(1 << 20));
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        printer->unplug();
    });
    const auto took = timedPress("Button1");
    unplug.join();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes()[0].text, "WriteFile function failed (win error code: 5)");
    EXPECT_LT(took, limitAndMargin);
    EXPECT_FALSE(form->CP->Connected());

    // The printer comes back under its old name: the next press opens it afresh.
    PtyPort restored(machine.sysRoot(), "ttyS0");
    press(*form, "Button2");
    EXPECT_EQ(restored.take(4), printer::cutPaperBytes());
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(Form1StalledPrinter, ASlowNetworkPrinterThatKeepsReadingIsNeverCutOff)
{
    TcpListener printer(TcpListener::Mode::Slow); // 64 KB a second
    start();
    typeAddress(*form, QString::fromStdString(printer.address()));
    form->Memo1->setPlainText(largeTestText(512 << 10));
    const std::string sent = printer::printTestBytes(form->memo1Bytes());
    PressObserver observer(*form);
    const auto took = timedPress("Button1");
    EXPECT_TRUE(boxes().empty());
    EXPECT_GT(took, limit) << "the printer was not slow";
    // The window stayed alive on the press's own thread, and "Exit" did not act.
    EXPECT_GE(observer.clockPaints, 3);
    EXPECT_TRUE(observer.busyCursor);
    EXPECT_TRUE(observer.clickedExit);
    QTest::qWait(100);
    EXPECT_TRUE(form->isVisible());
    const auto received = printer.waitForConnections(1, 30000);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0] == sent);
}
