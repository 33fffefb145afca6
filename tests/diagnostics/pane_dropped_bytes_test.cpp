// The dropped-byte test end to end: the pane's numbered lines through its own port to the virtual
// printer's pseudo-terminal, whose 4 KB receive buffer is printed slowly. Without flow control the
// printer loses lines and names them; with XON/XOFF on both ends the pane's port waits and
// nothing is lost.
#include "PaneTest.h"
#include "PrinterProcess.h"
#include "support/TempDir.h"

#include <QSpinBox>

using namespace testsupport;

namespace {

class PaneDroppedBytes : public PaneTest {
protected:
    // Sends 200 numbered lines from the pane with its flow control button `paneFlow` (0 none,
    // 3 XON/XOFF) to a virtual printer whose line has `printerFlow`. Keeps the receipt's log and
    // returns what the printer said on standard error.
    std::string sendLines(int paneFlow, const std::string& printerFlow)
    {
        TempDir folder;
        PrinterProcess virtualPrinter({ "--pty", folder.file("ttyVP"), "--out", folder.path(),
            "--pause", "1", "--buffer", "4096", "--drain", "4000", "--flow", printerFlow });
        const auto path = virtualPrinter.waitForLine("pty ");
        virtualPrinter.waitForLine("ready");
        connection.chosen = printer::Connection::Com;
        connection.port->setPort(path);
        pane.findChild<QSpinBox*>("NumberedCount")->setValue(200);
        pane.findChild<QAbstractButton*>(QStringLiteral("NumberedFlow%1").arg(paneFlow))
            ->setChecked(true);
        click("NumberedLines");
        receiptLog = logOf(virtualPrinter.waitForLine("receipt "));
        EXPECT_EQ(virtualPrinter.stop(), 0);
        return virtualPrinter.errors();
    }

    std::string receiptLog;
};

} // namespace

TEST_F(PaneDroppedBytes, WithoutFlowControlThePrinterLosesLinesAndNamesThem)
{
    const auto errors = sendLines(0, "none");
    EXPECT_NE(errors.find("the pty's receive buffer overflowed, lost "), std::string::npos)
        << errors;
    EXPECT_NE(errors.find(": lines "), std::string::npos) << errors;
    EXPECT_EQ(receiptLog.find("\"0200 "), std::string::npos) << "the last line is among the lost";
}

TEST_F(PaneDroppedBytes, WithXonXoffOnBothEndsNothingIsLost)
{
    const auto errors = sendLines(3, "xonxoff");
    EXPECT_EQ(errors.find("overflowed"), std::string::npos) << errors;
    for (const char* line : { "\"0001 ", "\"0107 ", "\"0200 " })
        EXPECT_NE(receiptLog.find(line), std::string::npos) << line;
    EXPECT_TRUE(boxes.boxes().empty());
}
