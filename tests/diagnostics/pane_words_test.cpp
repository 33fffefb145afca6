// Words with every byte, against a printer scripted in the test: each DLE EOT reply byte of the
// published tables, GS r and GS I 65-69; and the numbered lines over a pseudo-terminal whose far
// end holds the line with XOFF, with the flow control the pane chose.
#include "PtyPair.h"
#include "printer/NumberedLines.h"
#include "tests/diagnostics/PaneTest.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QSpinBox>
#include <thread>

using std::chrono::milliseconds;
using testsupport::PaneTest;
using testsupport::ScriptedPrinter;

namespace {

// The reply bytes of each DLE EOT n and their meaning, from the printer manuals' tables (bits 1
// and 4 always set): one row per reply, for n = 1 to 4.
struct Row {
    char reply[4];
    const char* words[4];
};
const Row kRows[] = {
    { { 0x12, 0x12, 0x12, 0x12 },
        { "online, drawer pin 3 low", "no offline cause", "no error", "paper present" } },
    { { 0x16, 0x16, 0x16, 0x1E },
        { "online, drawer pin 3 high", "cover open", "recoverable error", "paper near end" } },
    { { 0x1A, 0x1A, 0x1A, 0x72 },
        { "offline, drawer pin 3 low", "paper being fed by the feed button", "cutter error",
            "paper end" } },
    { { 0x32, 0x32, 0x32, 0x7E },
        { "online, drawer pin 3 low, waiting for online recovery", "printing stopped by paper end",
            "unrecoverable error", "paper near end, paper end" } },
    { { 0x52, 0x52, 0x52, 0x41 },
        { "online, drawer pin 3 low, feed button pressed", "error occurred",
            "auto-recoverable error", "not an ESC/POS status" } },
};

QString hex(char byte)
{
    return QStringLiteral("0x%1")
        .arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

} // namespace

TEST_F(PaneTest, EveryStatusByteOfTheTablesIsShownInWords)
{
    auto scripted = ScriptedPrinter::onTcp("127.0.117.81");
    scripted->answerAsHealthyPrinter();
    connection.address = "127.0.117.81";
    for (const auto& row : kRows) {
        for (char n = 1; n <= 4; ++n)
            scripted->answer(std::string { '\x10', '\x04', n }, std::string(1, row.reply[n - 1]));
        click("QueryStatus");
        const QString words = pane.findChild<QLabel*>("ReplyWords")->text();
        for (int n = 1; n <= 4; ++n) {
            const QString line = QStringLiteral("DLE EOT %1: %2 = %3")
                                     .arg(n)
                                     .arg(hex(row.reply[n - 1]))
                                     .arg(QString::fromLatin1(row.words[n - 1]));
            EXPECT_TRUE(words.contains(line)) << line.toStdString() << " in\n"
                                              << words.toStdString();
        }
    }
}

TEST_F(PaneTest, SensorsAndThePrintersOwnWordsAreShownWhereAnswered)
{
    auto scripted = ScriptedPrinter::onTcp("127.0.117.82");
    scripted->answerAsHealthyPrinter();
    scripted->answer("\x1D\x72\x01", "\x0C");
    scripted->answer("\x1D\x72\x02", "\x01");
    scripted->answer("\x1D\x49\x41", std::string("_2.01 ESC/POS\0", 14));
    scripted->answer("\x1D\x49\x42", std::string("_ACME\0", 6));
    scripted->answer("\x1D\x49\x43", std::string("_TM-T99\0", 8));
    scripted->answer("\x1D\x49\x44", std::string("_X7Q0042\0", 9));
    connection.address = "127.0.117.82";
    click("QueryStatus");
    click("QueryDetails");
    EXPECT_TRUE(boxes.boxes().empty());
    const QString words = pane.findChild<QLabel*>("ReplyWords")->text();
    for (const char* line : { "DLE EOT 1: 0x12 = online, drawer pin 3 low",
             "GS r 1: 0x0C = paper end", "GS r 2: 0x01 = drawer pin 3 high",
             "GS I 65 (firmware): 2.01 ESC/POS", "GS I 66 (maker): ACME", "GS I 67 (model): TM-T99",
             "GS I 68 (serial number): X7Q0042", "GS I 69 (fonts): no answer" })
        EXPECT_TRUE(words.contains(QString::fromLatin1(line))) << line << " in\n"
                                                               << words.toStdString();
}

namespace {

// Numbered lines through the pane's own port on a pty whose far end sends XOFF at the first
// byte, takes what was on its way for 100 ms, waits 500 ms more, then sends XON and reads the
// rest. Returns what had arrived before XON and everything that arrived.
std::pair<std::string, std::string> heldByXoff(testsupport::TestConnection& connection,
    diagnostics::PrinterPane& pane, int flowIndex, std::size_t lines)
{
    serialtest::PtyPair pty;
    connection.chosen = printer::Connection::Com;
    connection.port->setPort(pty.slavePath());
    pane.findChild<QSpinBox*>("NumberedCount")->setValue(static_cast<int>(lines));
    pane.findChild<QAbstractButton*>(QStringLiteral("NumberedFlow%1").arg(flowIndex))
        ->setChecked(true);
    const std::size_t total = printer::numberedLines(lines).size();
    std::string all, beforeXon;
    std::thread farEnd([&] {
        all = pty.receive(1);
        pty.send("\x13");
        all += pty.receive(total - all.size(), milliseconds(100));
        all += pty.receive(total - all.size(), milliseconds(500));
        beforeXon = all;
        pty.send("\x11");
        all += pty.receive(total - all.size());
    });
    QTest::mouseClick(pane.findChild<QAbstractButton*>("NumberedLines"), Qt::LeftButton);
    farEnd.join();
    return { beforeXon, all };
}

} // namespace

TEST_F(PaneTest, NumberedLinesWithXonXoffStopWhileThePrinterSaysXoffAndLoseNothing)
{
    const auto [beforeXon, all] = heldByXoff(connection, pane, 3, 2000);
    const std::string lines = printer::numberedLines(2000);
    EXPECT_LT(beforeXon.size(), lines.size());
    EXPECT_TRUE(all == lines) << all.size();
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(pane.findChild<QLabel*>("NumberedResult")->text(),
        "2000 lines sent (76000 bytes), flow control XON/XOFF; BUSY changes seen: 0");
    // The window's port keeps its own settings.
    EXPECT_FALSE(connection.port->FlowControl().XonXoffOut());
}

TEST_F(PaneTest, NumberedLinesWithoutFlowControlGoOnWhileThePrinterSaysXoff)
{
    const auto [beforeXon, all] = heldByXoff(connection, pane, 0, 2000);
    EXPECT_EQ(beforeXon.size(), printer::numberedLines(2000).size());
    EXPECT_TRUE(all == printer::numberedLines(2000)) << all.size();
}
