// The connection settings of the window with real parts: pseudo-terminals presented as serial
// ports below a test system root, TCP listeners on loopback addresses typed into the IP editor.
// The status panel follows the choices, and each press reaches the chosen printer exactly.
#include "app/TForm1.h"
#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "support/NoProgressLimit.h"
#include "support/TcpListener.h"
#include "tests/app/PtyPort.h"
#include "tests/app/WindowTestMachine.h"
#include "widgets/IPEdit.h"
#include "widgets/IPFieldEdit.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using namespace testsupport;
using platform::MessageKind;

namespace {

const std::string cutPaper("\x1D\x56\x42\x00", 4);
const std::string cashDrawer("\x1B\x70\x00\x32\x32\x0D", 6);
const std::string defaultPrintTest = std::string("\x1B@") + "\r\nHello!How are you!\r\n"
    + "Quillet v1.0!\r\nThank you very much!\r\n\r\n" + "\r\n\x1B@";

const struct {
    const char* button;
    std::string bytes;
} everyButton[] = {
    { "Button1", defaultPrintTest },
    { "Button2", cutPaper },
    { "Button3", cashDrawer },
};

QStringList items(const QComboBox& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.itemText(i);
    return texts;
}

class Form1Connection : public testing::Test {
protected:
    std::unique_ptr<app::TForm1> start()
    {
        auto started = machine.startWindow();
        EXPECT_EQ(panel(*started, 0), "ETHERNET:192.168.123.100:9100");
        return started;
    }
    std::vector<platform::RecordingMessageService::Box> boxes() const
    {
        return machine.boxes.boxes();
    }

    WindowTestMachine machine;
};

} // namespace

TEST_F(Form1Connection, ThePanelFollowsTheChosenConnectionAndItsSettings)
{
    PtyPort usb(machine.sysRoot(), "ttyUSB0");
    PtyPort uart(machine.sysRoot(), "ttyS0");
    const auto form = start();
    EXPECT_EQ(items(*form->ComComboBox1), QStringList({ "ttyS0", "ttyUSB0" }));
    EXPECT_EQ(form->ComComboBox1->Text(), "ttyS0") << "no COM1 listed: the first port";
    EXPECT_EQ(items(*form->ComComboBox2),
        QStringList({ "2400", "4800", "9600", "19200", "38400", "57600", "115200" }));
    EXPECT_EQ(form->ComComboBox2->Text(), "19200");
    EXPECT_EQ(form->CP->Port(), "ttyS0");
    EXPECT_EQ(form->CP->BaudRate(), cport::br19200);

    // Settings of COM while ETHERNET is chosen reach the port but not the panel.
    pick(*form->ComComboBox2, 6);
    pick(*form->ComComboBox1, 1);
    EXPECT_EQ(panel(*form, 0), "ETHERNET:192.168.123.100:9100");
    EXPECT_EQ(form->CP->BaudRate(), cport::br115200);
    EXPECT_EQ(form->CP->Port(), "ttyUSB0");

    // Every keystroke in the IP editor shows at once.
    for (int i = 0; i < 4; ++i) {
        TIPFieldEdit& field = form->IPEdit1->field(i);
        field.selectAll();
        for (const QChar digit : QStringLiteral("127")) {
            QTest::keyClicks(&field, QString(digit));
            EXPECT_EQ(panel(*form, 0), "ETHERNET:" + form->IPEdit1->IPString() + ":9100");
        }
    }
    EXPECT_EQ(panel(*form, 0), "ETHERNET:127.127.127.127:9100");

    form->RadioButton1->click();
    EXPECT_EQ(panel(*form, 0), "ttyUSB0:115200,N,8,1,Hardware");
    pick(*form->ComComboBox2, 0);
    EXPECT_EQ(panel(*form, 0), "ttyUSB0:2400,N,8,1,Hardware");
    pick(*form->ComComboBox1, 0);
    EXPECT_EQ(panel(*form, 0), "ttyS0:2400,N,8,1,Hardware");
    EXPECT_EQ(form->CP->Port(), "ttyS0");
    EXPECT_EQ(form->CP->BaudRate(), cport::br2400);
    // The serial line format is fixed text, whatever the port holds.
    form->CP->Parity().setBits(cport::prEven);
    pick(*form->ComComboBox2, 2);
    EXPECT_EQ(panel(*form, 0), "ttyS0:9600,N,8,1,Hardware");
    // An address edit while COM is chosen leaves the panel alone.
    typeAddress(*form, "127.66.0.1");
    EXPECT_EQ(panel(*form, 0), "ttyS0:9600,N,8,1,Hardware");

    form->RadioButton2->click();
    EXPECT_EQ(panel(*form, 0), "LPT1:");
    form->RadioButton3->click();
    EXPECT_EQ(panel(*form, 0), "ETHERNET:127.66.0.1:9100");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Form1Connection, AMachineWithoutSerialPortsStartsWithAnEmptyPortList)
{
    const auto form = start();
    EXPECT_EQ(form->ComComboBox1->count(), 0);
    form->RadioButton1->click();
    EXPECT_EQ(panel(*form, 0), ":19200,N,8,1,Hardware");
}

TEST_F(Form1Connection, EachComPressWritesExactlyItsBytesAndClosesThePort)
{
    PtyPort other(machine.sysRoot(), "ttyS0");
    PtyPort printer(machine.sysRoot(), "ttyUSB0");
    const auto form = start();
    form->RadioButton1->click();
    pick(*form->ComComboBox1, 1);
    int opened = 0;
    int closed = 0;
    form->CP->OnAfterOpen = [&](cport::TCustomComPort&) { ++opened; };
    form->CP->OnAfterClose = [&](cport::TCustomComPort&) { ++closed; };

    for (const auto& b : everyButton) {
        press(*form, b.button);
        EXPECT_EQ(printer.take(b.bytes.size()), b.bytes) << b.button;
        EXPECT_FALSE(form->CP->Connected()) << b.button;
    }
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(closed, 3);
    press(*form, "Button2");
    press(*form, "Button2");
    EXPECT_EQ(printer.take(8), cutPaper + cutPaper);
    EXPECT_EQ(opened, 5);
    EXPECT_EQ(closed, 5);
    EXPECT_EQ(other.take(1, 0), "");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Form1Connection, APortTheMachineLacksIsReportedAndNothingIsSent)
{
    // Listed by sysfs, but no device node to open.
    std::filesystem::create_directories(machine.sysRoot() + "/sys/class/tty/ttyS7/device/driver");
    PtyPort printer(machine.sysRoot(), "ttyUSB0");
    const auto form = start();
    form->RadioButton1->click();
    ASSERT_EQ(form->ComComboBox1->Text(), "ttyS7");
    press(*form, "Button3");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes()[0].text, "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(form->CP->Connected());

    // The window stays usable.
    pick(*form->ComComboBox1, 1);
    press(*form, "Button3");
    EXPECT_EQ(printer.take(cashDrawer.size()), cashDrawer);
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(Form1Connection, APrinterThatStopsReadingGivesWriteTimeout)
{
    PtyPort printer(machine.sysRoot(), "ttyS0", PtyPort::Mode::NeverRead);
    const auto form = start();
    form->RadioButton1->click();
    form->CP->Timeouts().setWriteTotalMultiplier(0);
    form->CP->Timeouts().setWriteTotalConstant(200);
    // Well beyond what the terminal buffers.
    form->Memo1->setPlainText(largeTestText(256 << 10));
    press(*form, "Button1");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes()[0].text, "Write timeout");
    EXPECT_FALSE(form->CP->Connected());
}

TEST_F(Form1Connection, EachNetworkPressDeliversExactlyItsBytes)
{
    TcpListener printer;
    const auto form = start();
    typeAddress(*form, QString::fromStdString(printer.address()));
    for (const auto& b : everyButton)
        press(*form, b.button);
    const std::vector<std::string> received = printer.waitForConnections(3);
    ASSERT_EQ(received.size(), 3u);
    for (std::size_t i = 0; i < received.size(); ++i)
        EXPECT_EQ(received[i], everyButton[i].bytes) << everyButton[i].button;
    EXPECT_EQ(received[1].size(), 4u);
    EXPECT_EQ(received[2].size(), 6u);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Form1Connection, NoPrinterAtTheAddressGivesConnectErrorAndNothingElse)
{
    TcpListener elsewhere;
    const auto form = start();
    std::string nobody = randomLoopbackAddress();
    while (nobody == elsewhere.address())
        nobody = randomLoopbackAddress();
    typeAddress(*form, QString::fromStdString(nobody));
    press(*form, "Button2");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes()[0].caption, "Quillet v1.0");
    EXPECT_EQ(boxes()[0].text, "Connect error");
    EXPECT_EQ(elsewhere.acceptedCount(), 0u);
}

// The kernel's buffers would take the whole 1 MB job at once: only what the printer
// acknowledged counts, and nothing moving for 7 s ends the press.
TEST_F(Form1Connection, APrinterThatNeverReadsGivesSendErrorWithinTheSendLimit)
{
    TcpListener printer(TcpListener::Mode::NeverRead);
    const auto form = start();
    typeAddress(*form, QString::fromStdString(printer.address()));
    form->Memo1->setPlainText(largeTestText(1 << 20));
    const auto started = std::chrono::steady_clock::now();
    press(*form, "Button1");
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes()[0].text, "Send error");
    EXPECT_GE(took, testsupport::kNoProgressAtLeast);
    EXPECT_LE(took, testsupport::kNoProgressAtMost);
}
