// The printer pane's Watch, verdicts and recovery, offscreen, against the real virtual printer on
// loopback TCP and on a pseudo-terminal: automatic status messages shown live as events and on
// the lights, GS a 0 when the pane closes, stale replies read away and counted, the verdict of a
// press during which paper runs out, and the recovery requests read back.
#include "PrinterProcess.h"
#include "diagnostics/PressVerdict.h"
#include "diagnostics/Transcript.h"
#include "printer/NumberedLines.h"
#include "printer/PressWait.h"
#include "support/TempDir.h"
#include "tests/diagnostics/PaneTest.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <sstream>

using namespace diagnostics;
using testsupport::PaneTest;
using testsupport::PrinterProcess;

namespace {

class WatchTest : public PaneTest {
protected:
    // The virtual printer on address:9100, chosen as the pane's network printer.
    void onTcp(const std::string& address, std::vector<std::string> more = {})
    {
        std::vector<std::string> arguments { "--tcp", address + ":9100", "--out", receipts.path(),
            "--pause", "0" };
        arguments.insert(arguments.end(), more.begin(), more.end());
        printer = std::make_unique<PrinterProcess>(arguments);
        printer->waitForLine("ready");
        connection.address = address;
    }
    // The virtual printer on a pseudo-terminal, chosen as the pane's serial printer.
    void onPty()
    {
        printer = std::make_unique<PrinterProcess>(std::vector<std::string> {
            "--pty", "ttyQW", "--out", receipts.path(), "--pause", "0" });
        const std::string path = printer->waitForLine("pty ");
        printer->waitForLine("ready");
        connection.chosen = printer::Connection::Com;
        connection.port->setPort(path);
    }
    void change(const std::string& conditions)
    {
        printer->writeLine("status " + conditions);
        printer->waitForLine("status ");
    }
    // The event list without its times, once it holds `count` events (or after 5 s).
    std::vector<std::string> events(std::size_t count)
    {
        auto* list = pane.findChild<QListWidget*>("WatchEvents");
        (void)QTest::qWaitFor(
            [&] { return static_cast<std::size_t>(list->count()) >= count; }, 5000);
        std::vector<std::string> found;
        const QRegularExpression timed(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d (.*)$"));
        for (int i = 0; i < list->count(); ++i) {
            const auto match = timed.match(list->item(i)->text());
            found.push_back(match.hasMatch() ? match.captured(1).toStdString()
                                             : "untimed: " + list->item(i)->text().toStdString());
        }
        return found;
    }
    // The rows of the transcript that were sent, as hex.
    std::vector<std::string> sentRows()
    {
        std::vector<std::string> rows;
        const auto& transcript = pane.transcript().transcript();
        for (std::size_t i = 0; i < transcript.rowCount(); ++i)
            if (transcript.row(i).direction == Direction::Sent)
                rows.push_back(hexText(transcript.row(i).bytes));
        return rows;
    }
    QString text(const char* name) { return pane.findChild<QLabel*>(name)->text(); }

    testsupport::TempDir receipts;
    std::unique_ptr<PrinterProcess> printer;
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(WatchTest, OverTcpEachChangeShowsAsAnEventAndOnTheLightsUntilThePaneCloses)
{
    onTcp("127.0.118.1");
    click("Watch");
    EXPECT_EQ(events(1), Events { "online" });
    EXPECT_EQ(sentRows(), std::vector<std::string> { "1D 61 0F" });

    change("paper-end");
    EXPECT_EQ(events(2), (Events { "online", "paper end" }));
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Red);
    EXPECT_EQ(light("online").words(), "offline");
    EXPECT_EQ(text("WatchBytes"), "18 00 0C 00 = offline, paper end");
    change("cover-open");
    EXPECT_EQ(events(4), (Events { "online", "paper end", "cover open", "paper loaded" }));
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Green);
    change("none");
    change("drawer-open");
    change("offline");
    EXPECT_EQ(events(8),
        (Events { "online", "paper end", "cover open", "paper loaded", "cover closed",
            "drawer pin 3 high", "drawer pin 3 low", "offline" }));
    EXPECT_EQ(light("online").lamp(), Lamp::Red);

    // Closing the pane turns the messages off: a change after it is not heard.
    pane.paneClosed();
    EXPECT_EQ(sentRows().back(), "1D 61 00");
    EXPECT_FALSE(pane.findChild<QPushButton*>("Watch")->isChecked());
    change("paper-end");
    QTest::qWait(300);
    EXPECT_EQ(events(8).size(), 8u);
}

TEST_F(WatchTest, OverAPtyOnlyTheChosenChangesAreReportedAndSwitchingConnectionStopsThem)
{
    onPty();
    pane.findChild<QCheckBox*>("WatchOnline")->setChecked(false);
    pane.findChild<QCheckBox*>("WatchErrors")->setChecked(false);
    click("Watch");
    EXPECT_EQ(events(1), Events { "online" });
    EXPECT_EQ(sentRows(), std::vector<std::string> { "1D 61 09" });
    change("cover-open"); // not chosen: no message
    change("cover-open,drawer-open");
    // The message reports everything, the cover with it.
    EXPECT_EQ(events(3), (Events { "online", "drawer pin 3 high", "cover open" }));
    change("cover-open,drawer-open,paper-near-end");
    EXPECT_EQ(events(4).back(), "paper near end");
    EXPECT_EQ(light("paper-near-end").lamp(), Lamp::Red);

    pane.connectionChanged();
    EXPECT_EQ(sentRows().back(), "1D 61 00");
    // The port is free again: the pane's next question opens it afresh.
    click("QueryStatus");
    EXPECT_EQ(light("drawer-open").words(), "drawer pin 3 high: yes");
}

TEST_F(WatchTest, StaleRepliesOnTheWatchedLinkAreReadAwayCountedAndNeverTakenAsTheAnswer)
{
    onTcp("127.0.118.2", { "--status", "drawer-open" });
    click("Watch");
    events(1);
    // A job that asks for status itself: its replies come back unasked by the pane.
    sendPress(std::string("\x10\x04\x04\x10\x04\x03\x10\x04\x02", 9));
    change("cover-open,drawer-open");
    events(2);
    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
    EXPECT_EQ(light("online").words(), "offline");
    EXPECT_TRUE(summary().endsWith("3 stray bytes")) << summary().toStdString();
    const auto lines = text("ReplyWords");
    EXPECT_TRUE(lines.contains("DLE EOT 1: 0x1E = offline, drawer pin 3 high"))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains("DLE EOT 2: 0x16 = cover open")) << lines.toStdString();
}

TEST_F(WatchTest, AJobDuringWhichPaperRunsOutGetsItsVerdict)
{
    onTcp("127.0.118.3");
    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    sendPress(testsupport::kCut);
    EXPECT_EQ(text("PressVerdict"), kPrintedVerdict);

    // Paper runs out once the job is sent, before the printer is asked how it went.
    bool changed = false;
    QObject::connect(&pane.transcript(), &QAbstractItemModel::rowsInserted, [&] {
        if (!std::exchange(changed, true))
            change("paper-end");
    });
    sendPress(testsupport::kCut);
    EXPECT_TRUE(changed);
    EXPECT_EQ(text("PressVerdict"), kPaperOutVerdict);
    change("cover-open");
    sendPress(testsupport::kCut);
    EXPECT_EQ(text("PressVerdict"), kCoverOpenVerdict);

    // Numbered lines on the network are a press like the others.
    change("ready");
    click("NumberedLines");
    EXPECT_EQ(text("NumberedResult"), "200 lines sent");
    EXPECT_EQ(text("PressVerdict"), kPrintedVerdict);
    std::ostringstream sent;
    pane.transcript().transcript().writeSentBytes(sent);
    EXPECT_NE(sent.str().find(printer::numberedLines(200)), std::string::npos);
}

TEST_F(WatchTest, WithTheWatchOnPaperThatRanOutAndCameBackMidJobStillCounts)
{
    // Offline from the start: the printer takes the job only once it is back, so the press is
    // still sending when paper runs out and comes back.
    onTcp("127.0.118.4", { "--status", "offline" });
    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    // The question after the press comes behind the job's last bytes, which a slow printer (one
    // built with a sanitizer) may still be reading: the longest answer limit.
    auto* limit = pane.findChild<QSpinBox*>("AnswerLimit");
    limit->setValue(limit->maximum());
    click("Watch");
    events(1);
    int waits = 0;
    printer::setWaitHook([&] {
        if (++waits != 1)
            return;
        change("paper-end");
        change("ready");
    });
    std::string job;
    for (int i = 0; i < 300000; ++i)
        job += "\x1B\x32"; // ESC 2: nothing to draw, so the printer takes it fast once it can
    sendPress(job);
    printer::setWaitHook({});
    EXPECT_GE(waits, 1);
    EXPECT_EQ(light("online").words(), "online");
    EXPECT_EQ(text("PressVerdict"), kPaperOutVerdict);
}

TEST_F(WatchTest, RecoveryIsOfferedDuringAnErrorAndItsResultIsReadBack)
{
    onTcp("127.0.118.5", { "--status", "recoverable-error" });
    auto* recover = pane.findChild<QPushButton*>("Recover");
    EXPECT_FALSE(recover->isEnabled());
    click("QueryStatus");
    ASSERT_TRUE(recover->isEnabled());
    EXPECT_TRUE(pane.findChild<QPushButton*>("ClearBuffers")->isEnabled());
    // Clearing the buffers leaves the error; recovering ends it.
    click("ClearBuffers");
    EXPECT_TRUE(summary().startsWith("after Clear buffers: printer offline"))
        << summary().toStdString();
    EXPECT_TRUE(recover->isEnabled());
    click("Recover");
    EXPECT_EQ(summary(), "after Recover: printer online, paper OK");
    EXPECT_FALSE(recover->isEnabled());
    EXPECT_EQ(sentRows()[sentRows().size() - 8], "10 05 01");
}
