// quillet-send and the window's buttons send the same bytes for the same action and text: the
// offscreen window presses its buttons with LPT chosen, the program runs with the same system
// root, and both land in the same FIFO.
#include "tests/app/WindowTestMachine.h"
#include "tests/cli/ProgramRun.h"
#include "tests/printer/PrinterFifo.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SameAsWindow : public testing::Test {
protected:
    void SetUp() override
    {
        form = machine.startWindow();
        testsupport::chooseParallel(*form);
    }

    std::string pressed(const char* button, const QString& memo = {})
    {
        testsupport::setTestText(*form, memo);
        testsupport::press(*form, button);
        return lpt1.take();
    }

    std::string sent(const std::vector<std::string>& command)
    {
        std::vector<std::string> arguments { "--lpt", "LPT1" };
        arguments.insert(arguments.end(), command.begin(), command.end());
        const auto run = testsupport::runProgram(
            QUILLET_SEND, arguments, { {}, { { "QUILLET_SYSROOT", machine.sysRoot() } }, 60000 });
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return lpt1.take();
    }

    testsupport::WindowTestMachine machine;
    testsupport::PrinterFifo lpt1 { machine.sysRoot() + "/dev/lp0" };
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(SameAsWindow, PrintTestForTheSameText)
{
    for (const char* text : { "", "Hello", "two\nlines\n", "\n\nGrüße €\n漢字 ok", "tab\there" }) {
        const std::string window = pressed("Button1", QString::fromUtf8(text));
        ASSERT_FALSE(window.empty());
        EXPECT_EQ(sent({ "print-test", "--", text }), window) << text;
    }
    EXPECT_TRUE(machine.boxes.boxes().empty());
}

TEST_F(SameAsWindow, CutAndDrawer)
{
    EXPECT_EQ(sent({ "cut" }), pressed("Button2"));
    EXPECT_EQ(sent({ "drawer" }), pressed("Button3"));
}
