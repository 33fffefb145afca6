// The three test buttons pressed in the offscreen window with LPT chosen: the bytes reach a FIFO
// standing in for the printer below a test system root, failures reach the error report.
#include "app/EditableComboBox.h"
#include "app/TForm1.h"
#include "platform/MessageBoxes.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/printer/PrinterFifo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace app;
using platform::MessageKind;
using platform::RecordingMessageService;

namespace {

class Form1Press : public testing::Test {
protected:
    void SetUp() override
    {
        form = machine.startWindow();
        testsupport::chooseParallel(*form);
    }

    void press(const char* button) { testsupport::press(*form, button); }
    void setMemo(const QString& text) { testsupport::setTestText(*form, text); }
    EditableComboBox& lptBox() { return *form->findChild<EditableComboBox*>("ComboBox25"); }

    testsupport::WindowTestMachine machine;
    testsupport::PrinterFifo lpt1 { machine.sysRoot() + "/dev/lp0" };
    const RecordingMessageService& boxes = machine.boxes;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(Form1Press, EachButtonWritesExactlyItsBytes)
{
    const std::string reset("\x1B@", 2);
    const struct {
        const char* button;
        std::string sent;
    } presses[] = {
        { "Button1",
            reset + "\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very much!\r\n\r\n\r\n"
                + reset },
        { "Button2", std::string("\x1D\x56\x42\x00", 4) },
        { "Button3", std::string("\x1B\x70\x00\x32\x32\x0D", 6) },
    };
    for (const auto& p : presses) {
        press(p.button);
        EXPECT_EQ(lpt1.take(), p.sent) << p.button;
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Form1Press, PrintTestSendsTheMemoAsWindows1252WithCrLf)
{
    const struct {
        QString memo;
        std::string text;
    } cases[] = {
        { "", "" },
        { "abc\n", "abc\r\n" },
        { QStringLiteral("Gr\u00FC\u00DFe \u20AC5\n\u00E9t\u00E9"),
            "Gr\xFC\xDF"
            "e \x80"
            "5\r\n\xE9t\xE9" },
    };
    for (const auto& c : cases) {
        setMemo(c.memo);
        press("Button1");
        EXPECT_EQ(lpt1.take(), "\x1B@" + c.text + "\r\n\x1B@") << c.memo.toStdString();
    }
    // Long lines wrap on screen but the wrapping adds no line breaks.
    const QString longLine(500, 'x');
    setMemo(longLine);
    press("Button1");
    EXPECT_EQ(lpt1.take(), "\x1B@" + longLine.toStdString() + "\r\n\x1B@");
}

TEST_F(Form1Press, AMissingDeviceIsReportedAndTheWindowStaysUsable)
{
    lptBox().setCurrentIndex(1);
    press("Button2");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.boxes()[0].caption, "Quillet v1.0");
    EXPECT_EQ(boxes.boxes()[0].text, "File not found.");
    EXPECT_FALSE(std::filesystem::exists(machine.sysRoot() + "/dev/lp1"));

    lptBox().setCurrentIndex(0);
    press("Button2");
    EXPECT_EQ(lpt1.take(), std::string("\x1D\x56\x42\x00", 4));
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(Form1Press, TypedTextNamesNoDeviceSoStandardOutputIsUsed)
{
    lptBox().setFocus();
    lptBox().lineEdit()->selectAll();
    QTest::keyClicks(lptBox().lineEdit(), "LPT1");
    ASSERT_EQ(lptBox().selectedItemText(), "");

    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    int out[2];
    ASSERT_EQ(pipe2(out, O_NONBLOCK), 0);
    dup2(out[1], STDOUT_FILENO);
    press("Button3");
    close(STDOUT_FILENO); // a process without a standard output
    press("Button3");
    dup2(saved, STDOUT_FILENO);
    close(saved);

    char buffer[64];
    const ssize_t got = read(out[0], buffer, sizeof buffer);
    close(out[0]);
    close(out[1]);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0),
        std::string("\x1B\x70\x00\x32\x32\x0D", 6));
    EXPECT_EQ(lpt1.take(), "");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "I/O error 105.");
}

TEST_F(Form1Press, ExitClosesTheWindow)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    press("Button23");
    EXPECT_FALSE(form->isVisible());
}
