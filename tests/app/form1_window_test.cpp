// The main window as the description builds it and FormCreate completes it, in an offscreen
// application: controls, defaults, status panels, connection texts and the reading errors.
#include "app/EditableComboBox.h"
#include "app/Form1Description.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "credits/CreditTexts.h"
#include "credits/Logo.h"
#include "platform/AnsiText.h"
#include "platform/Exception.h"
#include "platform/HostAddresses.h"
#include "tests/app/WindowTestMachine.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace app;

namespace {

template <typename T> T* control(const QWidget& form, const char* name)
{
    T* found = form.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class Form1Window : public testing::Test {
protected:
    std::unique_ptr<TForm1> startedWindow() const { return machine.startWindow(); }

    testsupport::WindowTestMachine machine;
};

} // namespace

TEST_F(Form1Window, EveryControlHasItsNameParentGeometryAndCaption)
{
    const auto form = startedWindow();
    const struct {
        const char* name;
        const char* parent;
        QRect geometry;
        const char* caption;
        bool shown;
    } controls[] = {
        { "GroupBox1", "Form1", { 8, 8, 577, 129 }, "Configuration", true },
        { "RadioButton1", "GroupBox1", { 8, 16, 81, 17 }, "COM", true },
        { "GroupBox8", "GroupBox1", { 8, 40, 169, 81 }, "COM Configuration", true },
        { "ComComboBox1", "GroupBox8", { 80, 24, 73, 21 }, "", true },
        { "ComComboBox2", "GroupBox8", { 80, 48, 73, 21 }, "19200", true },
        { "RadioButton2", "GroupBox1", { 184, 14, 81, 16 }, "LPT", true },
        { "GroupBox9", "GroupBox1", { 184, 38, 161, 83 }, "LPT Selection", true },
        { "ComboBox25", "GroupBox9", { 80, 20, 73, 21 }, "LPT1", true },
        { "RadioButton3", "GroupBox1", { 344, 12, 89, 17 }, "ETHERNET", true },
        { "GroupBox10", "GroupBox1", { 352, 36, 217, 85 }, "Ethernet Configuration", true },
        { "IPEdit1", "GroupBox10", { 72, 20, 137, 21 }, nullptr, true },
        { "GroupBox3", "Form1", { 8, 144, 577, 193 }, "Printer Test", true },
        { "Memo1", "GroupBox3", { 8, 32, 369, 153 }, nullptr, true },
        { "Button1", "GroupBox3", { 392, 32, 169, 25 }, "Print Test", true },
        { "Button2", "GroupBox3", { 392, 72, 169, 25 }, "Cut Paper", true },
        { "Button3", "GroupBox3", { 392, 112, 169, 25 }, "Cash Drawer", true },
        { "Button23", "Form1", { 400, 293, 169, 25 }, "Exit", true },
        { "StatusBar1", "Form1", { 0, 342, 594, 24 }, nullptr, true },
        { "Image1", "Form1", { 8, 384, 413, 38 }, nullptr, false },
        { "Label3", "Form1", { 432, 392, 231, 24 }, nullptr, false },
        { "Label4", "Form1", { 432, 368, 227, 24 }, nullptr, false },
        { "Button4", "Form1", { 400, 135, 169, 25 }, "Visit Official Website", false },
        { "Memo2", "Form1", { 536, 208, 129, 41 }, nullptr, false },
        { "RadioButton4", "Form1", { 8, 584, 113, 17 }, "DRIVER", false },
        { "GroupBox11", "Form1", { 104, 584, 329, 57 }, "Driver Selection", false },
        { "RadioButton5", "Form1", { 8, 648, 65, 17 }, "File", false },
        { "GroupBox12", "Form1", { 104, 648, 329, 57 }, "File Configuration", false },
    };
    for (const auto& c : controls) {
        const QWidget* widget = control<QWidget>(*form, c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), c.parent) << c.name;
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        EXPECT_EQ(widget->isHidden(), !c.shown) << c.name;
        if (!c.caption)
            continue;
        QString caption;
        if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            caption = button->text();
        else if (auto* group = qobject_cast<const QGroupBox*>(widget))
            caption = group->title();
        else if (auto* combo = qobject_cast<const QComboBox*>(widget))
            caption = combo->currentText();
        EXPECT_EQ(caption, c.caption) << c.name;
    }
    for (const auto& [name, caption] : { std::pair { "Label47", "Port Name:" },
             { "Label41", "Port Name:" }, { "Label42", "Baud Rate:" }, { "Label48", "IP Adress:" },
             { "Label1", "Input Printer Cahracters:" }, { "Label49", "Printer Driver:" },
             { "Label50", "File Name:" } })
        EXPECT_EQ(control<QLabel>(*form, name)->text(), caption);
    EXPECT_EQ(control<QLineEdit>(*form, "Edit17")->text(), "abc");
    EXPECT_EQ(control<EditableComboBox>(*form, "ComboBox26")->selectedItemText(), "VARUVOZIRIVO");
    const QImage logo = control<QLabel>(*form, "Image1")->pixmap().toImage();
    EXPECT_EQ(logo.size(), QSize(413, 38));
    QSet<QRgb> colours;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            colours.insert(logo.pixel(x, y) & 0xFFFFFF);
    const credits::LogoPicture drawn = credits::creditsLogo();
    EXPECT_EQ(colours, QSet<QRgb>({ drawn.paperColour, drawn.inkColour }));
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            ASSERT_EQ(
                logo.pixel(x, y) & 0xFFFFFF, drawn.at(x, y) ? drawn.inkColour : drawn.paperColour)
                << x << "," << y;
    EXPECT_EQ(control<QTimer>(*form, "Timer1")->interval(), 1000);
    EXPECT_TRUE(control<QTimer>(*form, "Timer1")->isActive());
}

TEST_F(Form1Window, FrameHasTheTitleButNoTitleBarButtons)
{
    const auto form = startedWindow();
    EXPECT_EQ(form->objectName(), "Form1");
    // The caption of the description is replaced at creation by the start-up caption.
    EXPECT_EQ(form->windowTitle(),
        QString::fromStdString(
            platform::ansiToUtf8(credits::plainText(credits::texts::startupCaption))));
    EXPECT_EQ(form->pos(), QPoint(191, 114));
    EXPECT_EQ(form->size(), QSize(594, 366));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    for (const Qt::WindowType button : { Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
             Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint })
        EXPECT_FALSE(flags & button) << button;
}

TEST_F(Form1Window, StartsWithTheDefaultsAndTheStatusPanels)
{
    const auto form = startedWindow();
    EXPECT_EQ(form->memo1Bytes(),
        "\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very much!\r\n\r\n");
    EXPECT_TRUE(control<QRadioButton>(*form, "RadioButton3")->isChecked());
    auto* lpt = control<EditableComboBox>(*form, "ComboBox25");
    EXPECT_TRUE(lpt->isEditable());
    EXPECT_EQ(lpt->count(), 4);
    EXPECT_EQ(lpt->currentIndex(), 0);
    EXPECT_TRUE(lpt->font().bold());

    auto* bar = control<StatusBar>(*form, "StatusBar1");
    ASSERT_EQ(bar->panelCount(), 3);
    EXPECT_EQ(bar->font().pointSize(), 10);
    EXPECT_TRUE(testsupport::panel(*form, 0).startsWith("ETHERNET:"));
    EXPECT_TRUE(testsupport::panel(*form, 0).endsWith(":9100"));
    EXPECT_FALSE(testsupport::panel(*form, 2).isEmpty());

    std::vector<std::string> addresses;
    platform::listHostAddresses(addresses);
    QStringList lines;
    for (const std::string& address : addresses)
        lines << QString::fromStdString(address);
    EXPECT_EQ(control<QPlainTextEdit>(*form, "Memo2")->toPlainText(), lines.join('\n'));
    EXPECT_EQ(
        testsupport::panel(*form, 1), "HostIP:" + (lines.isEmpty() ? QString() : lines.first()));
}

TEST_F(Form1Window, PanelWidthsAre230And200ThenTheClockToTheEdge)
{
    const auto form = startedWindow();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QList<QLabel*> panels = control<StatusBar>(*form, "StatusBar1")->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 3);
    EXPECT_EQ(panels[0]->width(), 230);
    EXPECT_EQ(panels[1]->width(), 200);
    EXPECT_GE(panels[2]->width(), 70);
    EXPECT_GT(panels[2]->x(), panels[1]->x());
}

TEST_F(Form1Window, TheClockPanelChangesWhileIdle)
{
    const auto form = startedWindow();
    const QString first = testsupport::panel(*form, 2);
    // Generous bound: the text has seconds and the timer ticks every second.
    EXPECT_TRUE(QTest::qWaitFor([&] { return testsupport::panel(*form, 2) != first; }, 10000));
}

TEST_F(Form1Window, ConnectionChoicesRewriteTheConnectionPanel)
{
    const auto form = startedWindow();
    auto* lpt = control<EditableComboBox>(*form, "ComboBox25");
    control<QRadioButton>(*form, "RadioButton2")->click();
    EXPECT_EQ(testsupport::panel(*form, 0), "LPT1:");
    lpt->setCurrentIndex(2);
    emit lpt->activated(2);
    EXPECT_EQ(testsupport::panel(*form, 0), "LPT3:");

    // Typed text selects no item, so the name is empty.
    lpt->setFocus();
    lpt->lineEdit()->selectAll();
    QTest::keyClicks(lpt->lineEdit(), "LPT2");
    EXPECT_EQ(lpt->currentText(), "LPT2");
    EXPECT_EQ(lpt->currentIndex(), -1);
    EXPECT_EQ(lpt->selectedItemText(), "");
    EXPECT_EQ(testsupport::panel(*form, 0), ":");
    QTest::keyClick(lpt->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(lpt->currentIndex(), -1);
    EXPECT_EQ(lpt->count(), 4);

    // The hidden choices are a group of their own and never touch the visible one.
    control<QRadioButton>(*form, "RadioButton4")->click();
    EXPECT_EQ(testsupport::panel(*form, 0), "Driver VARUVOZIRIVO");
    EXPECT_TRUE(control<QRadioButton>(*form, "RadioButton2")->isChecked());
    control<QRadioButton>(*form, "RadioButton5")->click();
    EXPECT_FALSE(control<QRadioButton>(*form, "RadioButton4")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*form, "RadioButton2")->isChecked());
    control<QLineEdit>(*form, "Edit17")->setText("out");
    EXPECT_EQ(testsupport::panel(*form, 0), "File out.bin");

    // Settings of a choice that is not checked leave the panel as it is.
    emit control<EditableComboBox>(*form, "ComboBox26")->changed();
    EXPECT_EQ(testsupport::panel(*form, 0), "File out.bin");
    // Clicking the checked button again changes nothing.
    control<QRadioButton>(*form, "RadioButton5")->click();
    control<StatusBar>(*form, "StatusBar1")->setPanelText(0, "unchanged");
    control<QRadioButton>(*form, "RadioButton5")->click();
    EXPECT_EQ(testsupport::panel(*form, 0), "unchanged");
}

TEST_F(Form1Window, NoHandlerRunsWhileTheWindowIsBuilt)
{
    const auto form = TForm1::create(form1Description());
    // Checking ETHERNET and filling the LPT list happened while loading: the panel stays empty,
    // and so does the memo that only FormCreate fills.
    EXPECT_EQ(testsupport::panel(*form, 0), "");
    EXPECT_EQ(form->memo1Bytes(), "");
}

TEST_F(Form1Window, APropertyThatFailsIsAReadingErrorNamingControlAndProperty)
{
    const auto failing = [](ControlDescription extra) {
        WindowDescription description = form1Description();
        description.push_back(std::move(extra));
        try {
            TForm1::create(description);
        } catch (const platform::EReadError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    const auto widget = [](TForm1&, QWidget* parent) -> QObject* { return new QWidget(parent); };
    EXPECT_EQ(failing({ "Broken", "GroupBox1", widget,
                  { { "Port",
                      [](TForm1&, QObject&) { throw platform::Exception("Registry error"); } } } }),
        "Error reading Broken.Port: Registry error");
    EXPECT_EQ(failing({ "Orphan", "Nowhere", widget, {} }),
        "Error reading Orphan.Parent: Control 'Nowhere' not found");
    EXPECT_EQ(
        failing({ "Plain", "Form1", widget, { { "Odd", [](TForm1&, QObject&) { throw 42; } } } }),
        "Error reading Plain.Odd: Unknown error");
}
