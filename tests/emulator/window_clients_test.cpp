// Quillet's own window as the virtual printer's client: the three buttons, pressed in the real
// window built in-process, reach the real quillet-virtual-printer over TCP, a pseudo-terminal
// presented as a serial port and a FIFO standing for LPT1; the test text is rendered and every
// command is logged by name.
#include "PrinterProcess.h"
#include "emulator/ReceiptRenderer.h"
#include "support/NoProgressLimit.h"
#include "tests/app/WindowTestMachine.h"

#include <QComboBox>
#include <QImage>
#include <QRadioButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace testsupport;

namespace {

// Not the window's default address (a private range): one of loopback's own.
const char* const kPrinterAddress = "127.61.0.16";

// Bands of rows with dark dots on the printed part of the paper (inside its margins, so not the
// cut below it), top to bottom: a printed text line makes one.
int inkBands(const QImage& picture)
{
    int bands = 0;
    bool inBand = false;
    for (int y = emulator::kPaperMargin; y < picture.height() - emulator::kPaperMargin; ++y) {
        bool ink = false;
        for (int x = 0; x < picture.width() && !ink; ++x)
            ink = qGray(picture.pixel(x, y)) < 64;
        bands += ink && !inBand;
        inBand = ink;
    }
    return bands;
}

class WindowClients : public testing::Test {
protected:
    void chooseConnection(const char* radioButton)
    {
        form->findChild<QRadioButton*>(radioButton)->click();
    }

    // Print Test then Cut Paper make one receipt; Cash Drawer alone another, ended by the pause.
    void pressAllButtonsAndCheck(PrinterProcess& printer)
    {
        press(*form, "Button1");
        press(*form, "Button2");
        const auto printed = printer.waitForLine("receipt ");
        const auto log = logOf(printed);
        EXPECT_NE(log.find("ESC @ initialize\nCR carriage return\nLF line feed\n"
                           "text \"Hello!How are you!\" font A, left, at 0\n"
                           "CR carriage return\nLF line feed\n"
                           "text \"Quillet v1.0!\" font A, left, at 0\n"
                           "CR carriage return\nLF line feed\n"
                           "text \"Thank you very much!\" font A, left, at 0\n"),
            std::string::npos)
            << log;
        EXPECT_NE(
            log.find("ESC @ initialize\nGS V 66 0 partial cut after feed\n"), std::string::npos)
            << log;
        EXPECT_EQ(inkBands(QImage(QString::fromStdString(printed))), 3);

        press(*form, "Button3");
        const auto drawer = logOf(printer.waitForLine("receipt "));
        EXPECT_EQ(drawer, "ESC p 0 50 50 drawer pulse pin 2\nCR carriage return\n");
        EXPECT_TRUE(machine.boxes.boxes().empty());
    }

    // A megabyte of test text to a printer at paper end: it keeps what its buffer holds and stops
    // reading, so the press ends with the window's no-progress message after 7 s; once the
    // printer is ready, what it kept is printed from its first command on.
    void pressAgainstPaperEnd(PrinterProcess& printer, const std::string& message)
    {
        setTestText(*form, largeTestText(1 << 20));
        const auto start = std::chrono::steady_clock::now();
        press(*form, "Button1");
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(machine.boxes.boxes().size(), 1u);
        EXPECT_EQ(machine.boxes.boxes()[0].text, message);
        EXPECT_GE(took, testsupport::kNoProgressAtLeast);
        EXPECT_LE(took, testsupport::kNoProgressAtMost);
        printer.writeLine("status ready");
        const auto log = logOf(printer.waitForLine("receipt "));
        EXPECT_EQ(log.rfind("ESC @ initialize\ntext \"" + std::string(79, 'x') + "\"", 0), 0u)
            << log.substr(0, 200);
    }

    WindowTestMachine machine;
    TempDir out;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(WindowClients, ButtonsPrintOverTcp)
{
    PrinterProcess printer(
        { "--tcp", std::string(kPrinterAddress) + ":9100", "--out", out.path(), "--pause", "0.5" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    chooseConnection("RadioButton3");
    typeAddress(*form, kPrinterAddress);
    pressAllButtonsAndCheck(printer);
}

TEST_F(WindowClients, APressToAPrinterAtPaperEndTimesOutOverTcp)
{
    PrinterProcess printer({ "--tcp", std::string(kPrinterAddress) + ":9100", "--out", out.path(),
        "--status", "paper-end" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    chooseConnection("RadioButton3");
    typeAddress(*form, kPrinterAddress);
    pressAgainstPaperEnd(printer, "Send error");
}

TEST_F(WindowClients, APressToAPrinterAtPaperEndTimesOutOverThePseudoTerminal)
{
    PrinterProcess printer({ "--pty", "ttyVP0", "--sysroot", machine.sysRoot(), "--out", out.path(),
        "--status", "paper-end" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    chooseConnection("RadioButton1");
    pick(*form->findChild<QComboBox*>("ComComboBox1"), 0);
    pressAgainstPaperEnd(printer, "Write timeout");
}

TEST_F(WindowClients, APressToAPrinterAtPaperEndTimesOutOverTheParallelPort)
{
    std::filesystem::create_directories(machine.sysRoot() + "/dev");
    PrinterProcess printer(
        { "--fifo", machine.sysRoot() + "/dev/lp0", "--out", out.path(), "--status", "paper-end" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    chooseConnection("RadioButton2");
    pressAgainstPaperEnd(printer, "I/O error 121.");
}

TEST_F(WindowClients, ButtonsPrintOverThePseudoTerminal)
{
    PrinterProcess printer({ "--pty", "ttyVP0", "--sysroot", machine.sysRoot(), "--out", out.path(),
        "--pause", "0.5" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    auto* ports = form->findChild<QComboBox*>("ComComboBox1");
    ASSERT_EQ(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0), "ttyVP0");
    chooseConnection("RadioButton1");
    pick(*ports, 0);
    pressAllButtonsAndCheck(printer);
}

TEST_F(WindowClients, ButtonsPrintOverTheParallelPort)
{
    std::filesystem::create_directories(machine.sysRoot() + "/dev");
    PrinterProcess printer(
        { "--fifo", machine.sysRoot() + "/dev/lp0", "--out", out.path(), "--pause", "0.5" });
    printer.waitForLine("ready");
    form = machine.startWindow();
    chooseConnection("RadioButton2");
    pressAllButtonsAndCheck(printer);
}
