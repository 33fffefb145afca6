// The printer pane in the offscreen window: the toggle widens the window by the pane and every
// control stays where it was, presses go through the pane (status after each press, the serial
// port held open), switching the connection or closing the pane closes a held port.
#include "app/PrinterPaneHost.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/printer/PrinterFifo.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace testsupport;

namespace {

const std::string kCut("\x1D\x56\x42\x00", 4);
const std::string kPressStatus("\x10\x04\x01\x10\x04\x04", 6);

// The geometry of every named control of the window, relative to the window.
std::map<QString, QRect> controlPlaces(const app::TForm1& form)
{
    std::map<QString, QRect> places;
    for (auto* widget : form.findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty() || widget->objectName() == "PrinterPane"
            || form.findChild<QWidget*>("PrinterPane")->isAncestorOf(widget))
            continue;
        if (widget->objectName() == "StatusBar1"
            || widget->parentWidget()->objectName() == "StatusBar1")
            continue; // docked along the whole bottom edge: it spans the wider window
        places[widget->objectName()] = QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size());
    }
    return places;
}

class Form1Pane : public testing::Test {
protected:
    // The printer played on a pseudo-terminal, offered as serial port ttyQ0.
    void offerSerialPrinter()
    {
        serialPrinter = ScriptedPrinter::onPty();
        serialPrinter->answerAsHealthyPrinter();
        namespace fs = std::filesystem;
        fs::create_directories(machine.sysRoot() + "/sys/class/tty/ttyQ0/device/driver");
        fs::create_directories(machine.sysRoot() + "/dev");
        fs::create_symlink(serialPrinter->slavePath(), machine.sysRoot() + "/dev/ttyQ0");
    }
    void start()
    {
        form = machine.startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // The window with the serial printer chosen and its port held open by the pane.
    void holdSerialPortOpen()
    {
        offerSerialPrinter();
        start();
        choose("RadioButton1");
        form->paneHost().setOpen(true);
        box("KeepPortOpen").setChecked(true);
        ASSERT_TRUE(form->CP->Connected());
    }
    void choose(const char* radio) { form->findChild<QRadioButton*>(radio)->click(); }
    diagnostics::PrinterPane& pane() { return form->paneHost().pane(); }
    QString summary() { return pane().findChild<QLabel*>("StatusSummary")->text(); }
    QCheckBox& box(const char* name) { return *pane().findChild<QCheckBox*>(name); }

    WindowTestMachine machine;
    std::unique_ptr<ScriptedPrinter> serialPrinter;
    std::unique_ptr<app::TForm1> form;
};

} // namespace

TEST_F(Form1Pane, OnAScreenTooNarrowForTheWiderWindowThePaneOpensAsAWindowOfItsOwn)
{
    start();
    const QSize before = form->size();
    const auto places = controlPlaces(*form);
    EXPECT_GT(places.size(), 30u);
    EXPECT_EQ(places.at("Button23"), QRect(400, 293, 169, 25));
    auto* toggle = form->findChild<QToolButton*>("PaneToggle");
    ASSERT_TRUE(toggle);
    // At the right end of the status bar, right of the three panels.
    const auto* clock = form->StatusBar1->findChildren<QLabel*>().back();
    EXPECT_GE(
        toggle->mapTo(form.get(), QPoint(0, 0)).x(), clock->mapTo(form.get(), QPoint(0, 0)).x());
    EXPECT_FALSE(pane().isVisible());

    // The offscreen screen is 800 pixels wide: the window widened by the pane (974) cannot fit.
    // (The widened window on a 1024-pixel screen is the end-to-end test's.)
    const QRect screen = form->screen()->availableGeometry();
    ASSERT_LT(screen.width(), before.width() + diagnostics::PrinterPane::kWidth);
    press(*form, "PaneToggle");
    ASSERT_TRUE(pane().isVisible());
    EXPECT_TRUE(pane().isWindow());
    EXPECT_EQ(form->size(), before);
    EXPECT_TRUE(screen.contains(pane().frameGeometry())) << pane().frameGeometry().x();
    EXPECT_EQ(controlPlaces(*form), places);

    press(*form, "PaneToggle");
    EXPECT_FALSE(pane().isVisible());
    EXPECT_EQ(form->size(), before);
    EXPECT_EQ(controlPlaces(*form), places);
    // Its own frame's close button closes it as the toggle does.
    press(*form, "PaneToggle");
    pane().close();
    QTest::qWait(20);
    EXPECT_FALSE(form->paneHost().isOpen());
    EXPECT_FALSE(form->findChild<QToolButton*>("PaneToggle")->isChecked());
}

TEST_F(Form1Pane, StatusAfterEachPressOnTheSerialPort)
{
    offerSerialPrinter();
    start();
    choose("RadioButton1");
    ASSERT_EQ(form->CP->Port(), "ttyQ0");
    const QString connectionPanel = form->StatusBar1->panelText(0);
    form->paneHost().setOpen(true);
    box("StatusAfterPress").setChecked(true);
    press(*form, "Button2");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(summary(), "sent 4 bytes, printer online, paper OK");
    EXPECT_EQ(form->StatusBar1->panelText(0), connectionPanel); // the connection panel as ever
    EXPECT_EQ(serialPrinter->received(10), kCut + kPressStatus);
    EXPECT_FALSE(
        form->CP->Connected()); // opened and closed around the press, as the transport does
    EXPECT_EQ(pane().transcript().transcript().row(0).bytes, kCut);

    // A closed pane asks nothing after a press.
    form->paneHost().setOpen(false);
    press(*form, "Button2");
    EXPECT_EQ(serialPrinter->received(14), kCut + kPressStatus + kCut);
}

TEST_F(Form1Pane, KeepPortOpenServesThePressesUntilTheConnectionChanges)
{
    ASSERT_NO_FATAL_FAILURE(holdSerialPortOpen());
    const int handle = form->CP->deviceHandle();
    EXPECT_EQ(
        pane().findChild<diagnostics::StatusLight*>("light-CTS")->words(), "CTS: not available");
    press(*form, "Button2");
    press(*form, "Button3");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(form->CP->deviceHandle(), handle);
    EXPECT_EQ(serialPrinter->received(10), kCut + std::string("\x1B\x70\x00\x32\x32\x0D", 6));

    choose("RadioButton2");
    EXPECT_FALSE(form->CP->Connected());
    EXPECT_FALSE(box("KeepPortOpen").isChecked());

    choose("RadioButton1");
    box("KeepPortOpen").setChecked(true);
    ASSERT_TRUE(form->CP->Connected());
    press(*form, "PaneToggle"); // closing the pane closes the port
    EXPECT_FALSE(form->CP->Connected());
}

TEST_F(Form1Pane, QueryStatusOfAFifoPrinterFromTheWindow)
{
    PrinterFifo lp0(machine.sysRoot() + "/dev/lp0");
    start();
    choose("RadioButton2");
    form->paneHost().setOpen(true);
    pane().findChild<QSpinBox*>("AnswerLimit")->setValue(50);
    press(*form, "QueryStatus");
    EXPECT_TRUE(machine.boxes.boxes().empty());
    EXPECT_EQ(lp0.take().size(), 21u);
    EXPECT_EQ(pane().findChild<diagnostics::StatusLight*>("light-lp-error")->words(),
        "error (driver): not available");
    EXPECT_EQ(summary(), "printer: no answer, paper: no answer");
}

TEST_F(Form1Pane, TheWindowClosesWithThePortHeldOpen)
{
    ASSERT_NO_FATAL_FAILURE(holdSerialPortOpen());
    // The pane shows the held port's lines: a pseudo-terminal has no modem lines to report.
    EXPECT_TRUE(box("KeepPortOpen").isChecked());
    EXPECT_EQ(
        pane().findChild<diagnostics::StatusLight*>("light-CTS")->words(), "CTS: not available");
    const int handle = form->CP->deviceHandle();
    ASSERT_NE(::fcntl(handle, F_GETFD), -1);
    form.reset(); // the port object goes before the pane: the pane must not touch it afterwards
    // The port closed with the window: its descriptor is gone.
    EXPECT_EQ(::fcntl(handle, F_GETFD), -1);
}
