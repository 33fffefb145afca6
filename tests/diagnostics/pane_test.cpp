// The printer pane, offscreen, against printers played by the test on each connection: the
// lights after "Query status", a press followed by its status, and the serial port held open.
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/diagnostics/PaneTest.h"
#include "tests/printer/PrinterFifo.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QCheckBox>
#include <QSpinBox>

using namespace diagnostics;
using testsupport::kCut;
using testsupport::PaneTest;
using testsupport::ScriptedPrinter;

TEST_F(PaneTest, QueryStatusShowsEachStateOfAPrinterInTrouble)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.31");
    printer->answerAsHealthyPrinter();
    printer->answer("\x10\x04\x01", "\x1A");
    printer->answer("\x10\x04\x02", "\x16");
    printer->answer("\x10\x04\x04", "\x72");
    connection.address = "127.0.117.31";
    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(light("online").lamp(), Lamp::Red);
    EXPECT_EQ(light("online").words(), "offline");
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
    EXPECT_EQ(light("paper-end").lamp(), Lamp::Red);
    EXPECT_EQ(light("cutter-error").lamp(), Lamp::Green);
    EXPECT_EQ(light("model").words(), "model 0x20, type 0x02 (autocutter), firmware 0x41");
    EXPECT_EQ(summary(), "printer offline, paper end, cover open");
    EXPECT_FALSE(pane.findChild<QWidget*>("DriverLights")->isVisibleTo(&pane));
    // Seven questions out, seven answers back.
    EXPECT_EQ(pane.transcript().transcript().byteCount(), 21u + 7u);
}

TEST_F(PaneTest, AListenerThatNeverRepliesShowsGreyNoAnswer)
{
    testsupport::TcpListener silent("127.0.117.32", 9100);
    connection.address = "127.0.117.32";
    pane.findChild<QSpinBox*>("AnswerLimit")->setValue(50);
    EXPECT_EQ(pane.session().answerLimit(), std::chrono::milliseconds(50));
    click("QueryStatus");
    EXPECT_EQ(light("online").lamp(), Lamp::Grey);
    EXPECT_EQ(light("online").words(), "online: no answer");
    EXPECT_EQ(light("paper-end").words(), "paper end: no answer");
    EXPECT_EQ(light("model").words(), "model: no answer");
}

TEST_F(PaneTest, NoPrinterAtTheAddressReportsConnectError)
{
    connection.address = "127.0.117.33";
    click("QueryStatus");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Connect error.");
}

TEST_F(PaneTest, AFifoPrinterShowsTheDriverViewAsNotAvailable)
{
    testsupport::TestSysRoot root;
    testsupport::PrinterFifo lp0(root.path() + "/dev/lp0");
    connection.chosen = printer::Connection::Lpt;
    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(pane.findChild<QWidget*>("DriverLights")->isVisibleTo(&pane));
    EXPECT_EQ(light("lp-paper-out").words(), "paper out (driver): not available");
    EXPECT_EQ(light("device-id").words(), "device ID: not available");
    // A pipe written one way cannot answer: no printer was silent.
    EXPECT_EQ(light("online").words(), "online: this connection cannot answer");
    EXPECT_EQ(light("model").words(), "model: this connection cannot answer");
}

TEST_F(PaneTest, StatusAfterEachPressFollowsThePressOnTheNetwork)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.34");
    printer->answerAsHealthyPrinter();
    connection.address = "127.0.117.34";
    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    sendPress(kCut);
    EXPECT_EQ(summary(), "sent 4 bytes, printer online, paper OK");
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
    EXPECT_EQ(light("model").words(), "model: not asked");
    const auto& transcript = pane.transcript().transcript();
    ASSERT_GE(transcript.rowCount(), 1u);
    EXPECT_EQ(transcript.row(0).bytes, kCut);
    // The press's connection and the question's: the cut, then DLE EOT 1 and 4.
    EXPECT_EQ(printer->received(10), kCut + std::string("\x10\x04\x01\x10\x04\x04", 6));

    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(false);
    sendPress(kCut);
    EXPECT_EQ(summary(), "sent 4 bytes, printer online, paper OK"); // unchanged: not asked
}

TEST_F(PaneTest, KeepPortOpenHoldsTheSerialPortUntilThePaneCloses)
{
    auto printer = ScriptedPrinter::onPty();
    printer->answerAsHealthyPrinter();
    connection.chosen = printer::Connection::Com;
    connection.port->setPort(printer->slavePath());
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_TRUE(boxes.boxes().empty());
    ASSERT_TRUE(connection.port->Connected());
    const int handle = connection.port->deviceHandle();
    // A pseudo-terminal has no modem lines: the outputs' levels cannot be read either.
    EXPECT_EQ(light("CTS").words(), "CTS: not available");
    EXPECT_EQ(light("RI").lamp(), Lamp::Grey);
    EXPECT_EQ(light("DTR").words(), "DTR: unknown");

    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    sendPress(kCut);
    sendPress(kCut);
    EXPECT_EQ(connection.port->deviceHandle(), handle); // the presses reused the open port
    EXPECT_EQ(summary(), "sent 4 bytes, printer online, paper OK");
    const std::string round = kCut + std::string("\x10\x04\x01\x10\x04\x04", 6);
    EXPECT_EQ(printer->received(2 * round.size()), round + round);

    pane.paneClosed();
    EXPECT_FALSE(connection.port->Connected());
    EXPECT_FALSE(pane.findChild<QCheckBox*>("KeepPortOpen")->isChecked());
    EXPECT_EQ(light("CTS").words(), "CTS: port closed");
    EXPECT_FALSE(connection.port->OnCTSChange);
}

TEST_F(PaneTest, APortThatCannotBeOpenedLeavesTheSwitchOff)
{
    connection.chosen = printer::Connection::Com;
    connection.port->setPort("/nonexistent/ttyQ9");
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_FALSE(pane.findChild<QCheckBox*>("KeepPortOpen")->isChecked());
    EXPECT_FALSE(connection.port->Connected());
}
