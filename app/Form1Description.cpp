#include "app/Form1Description.h"

#include "app/ClickableLabel.h"
#include "app/ConnectionSteps.h"
#include "app/DescriptionSteps.h"
#include "app/EditableComboBox.h"
#include "app/Logo.h"
#include "app/StatusBar.h"
#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "widgets/IPEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace app {

namespace {

const QColor blue(0, 0, 255);
const QColor green(0, 128, 0);

// The serial port object's stored settings; everything else keeps the port's defaults.
std::vector<PropertyStep> storedPortSettings()
{
    using namespace cport;
    return {
        portSetting("BaudRate", [](TComPort& port) { port.setBaudRate(br19200); }),
        portSetting("Port", [](TComPort& port) { port.setPort("COM1"); }),
        portSetting("Parity.Bits", [](TComPort& port) { port.Parity().setBits(prNone); }),
        portSetting("StopBits", [](TComPort& port) { port.setStopBits(sbOneStopBit); }),
        portSetting("DataBits", [](TComPort& port) { port.setDataBits(dbEight); }),
        portSetting("Events",
            [](TComPort& port) {
                port.setEvents({ evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR,
                    evError, evRLSD, evRx80Full });
            }),
        portSetting("Buffer.OutputSize", [](TComPort& port) { port.Buffer().setOutputSize(0); }),
        portSetting("FlowControl.OutCTSFlow",
            [](TComPort& port) { port.FlowControl().setOutCTSFlow(true); }),
        portSetting("FlowControl.OutDSRFlow",
            [](TComPort& port) { port.FlowControl().setOutDSRFlow(false); }),
        portSetting("FlowControl.ControlDTR",
            [](TComPort& port) { port.FlowControl().setControlDTR(dtrDisable); }),
        portSetting("FlowControl.ControlRTS",
            [](TComPort& port) { port.FlowControl().setControlRTS(rtsHandshake); }),
        portSetting("FlowControl.XonXoffOut",
            [](TComPort& port) { port.FlowControl().setXonXoffOut(false); }),
        portSetting("FlowControl.XonXoffIn",
            [](TComPort& port) { port.FlowControl().setXonXoffIn(false); }),
    };
}

// The window and the connection group: the three choices and the settings of each.
WindowDescription connectionControls()
{
    return {
        { "Form1", "", theWindow(),
            { windowBounds(191, 114, 594, 366), noBorderIcons(), caption("Quillet v1.0"),
                font({ .pointSize = 8 }), onCreate(&TForm1::FormCreate) } },
        { "GroupBox1", "Form1", createAs(&TForm1::GroupBox1),
            { bounds(8, 8, 577, 129), caption("Configuration") } },
        { "RadioButton1", "GroupBox1", createAs(&TForm1::RadioButton1),
            { bounds(8, 16, 81, 17), caption("COM"), radioGroup("Connection"),
                onRadioClick(&TForm1::RadioButton1Click) } },
        { "CP", "Form1", createComPort(&TForm1::CP), storedPortSettings() },
        { "GroupBox8", "GroupBox1", createAs(&TForm1::GroupBox8),
            { bounds(8, 40, 169, 81), caption("COM Configuration") } },
        { "Label41", "GroupBox8", createAs(&TForm1::Label41),
            { caption("Port Name:"), autoSizedAt(16, 24) } },
        { "ComComboBox1", "GroupBox8", createLoadingAs(&TForm1::ComComboBox1),
            { bounds(80, 24, 73, 21), font({ .bold = true }), comProperty(cport::cpPort),
                autoApply(false), text("COM1"), itemIndex(0),
                event("OnChange", &cport::TComComboBox::changed, &TForm1::ComComboBox1Change),
                comPortReference("CP") } },
        { "Label42", "GroupBox8", createAs(&TForm1::Label42),
            { caption("Baud Rate:"), autoSizedAt(16, 52) } },
        { "ComComboBox2", "GroupBox8", createLoadingAs(&TForm1::ComComboBox2),
            { bounds(80, 48, 73, 21), font({ .bold = true }), comProperty(cport::cpBaudRate),
                autoApply(false), text("19200"),
                event("OnChange", &cport::TComComboBox::changed, &TForm1::ComComboBox2Change),
                comPortReference("CP") } },
        { "RadioButton2", "GroupBox1", createAs(&TForm1::RadioButton2),
            { bounds(184, 14, 81, 16), caption("LPT"), radioGroup("Connection"),
                onRadioClick(&TForm1::RadioButton2Click) } },
        { "GroupBox9", "GroupBox1", createAs(&TForm1::GroupBox9),
            { bounds(184, 38, 161, 83), caption("LPT Selection") } },
        { "Label47", "GroupBox9", createAs(&TForm1::Label47),
            { caption("Port Name:"), autoSizedAt(16, 24) } },
        { "ComboBox25", "GroupBox9", createAs(&TForm1::ComboBox25),
            { bounds(80, 20, 73, 21), font({ .bold = true }),
                items({ "LPT1", "LPT2", "LPT3", "LPT4" }), itemIndex(0), text("LPT1"),
                event("OnChange", &EditableComboBox::changed, &TForm1::ComboBox25Change) } },
        { "RadioButton3", "GroupBox1", createAs(&TForm1::RadioButton3),
            { bounds(344, 12, 89, 17), caption("ETHERNET"), checked(true), radioGroup("Connection"),
                onRadioClick(&TForm1::RadioButton3Click) } },
        { "GroupBox10", "GroupBox1", createAs(&TForm1::GroupBox10),
            { bounds(352, 36, 217, 85), caption("Ethernet Configuration") } },
        { "Label48", "GroupBox10", createAs(&TForm1::Label48),
            { caption("IP Adress:"), autoSizedAt(16, 24) } },
        { "IPEdit1", "GroupBox10", createAs(&TForm1::IPEdit1),
            { bounds(72, 20, 137, 21), font({ .pointSize = 10, .bold = true }),
                cursor(Qt::IBeamCursor), ipString("192.168.123.100"),
                onIPChange(&TForm1::IPEdit1Change) } },
    };
}

// The test group, "Exit" and the status bar.
WindowDescription testControls()
{
    return {
        { "GroupBox3", "Form1", createAs(&TForm1::GroupBox3),
            { bounds(8, 144, 577, 193), caption("Printer Test") } },
        { "Label1", "GroupBox3", createAs(&TForm1::Label1),
            { caption("Input Printer Cahracters:"), autoSizedAt(8, 16) } },
        { "Memo1", "GroupBox3", createAs(&TForm1::Memo1),
            { bounds(8, 32, 369, 153), font({ .pointSize = 10, .color = blue }),
                verticalScrollBar(), wantTabs(false) } },
        { "Button1", "GroupBox3", createAs(&TForm1::Button1),
            { bounds(392, 32, 169, 25), caption("Print Test"),
                event("OnClick", &QPushButton::clicked, &TForm1::Button1Click) } },
        { "Button2", "GroupBox3", createAs(&TForm1::Button2),
            { bounds(392, 72, 169, 25), caption("Cut Paper"),
                event("OnClick", &QPushButton::clicked, &TForm1::Button2Click) } },
        { "Button3", "GroupBox3", createAs(&TForm1::Button3),
            { bounds(392, 112, 169, 25), caption("Cash Drawer"),
                event("OnClick", &QPushButton::clicked, &TForm1::Button3Click) } },
        { "Button23", "Form1", createAs(&TForm1::Button23),
            { bounds(400, 293, 169, 25), caption("Exit"),
                event("OnClick", &QPushButton::clicked, &TForm1::Button23Click) } },
        { "StatusBar1", "Form1", createAs(&TForm1::StatusBar1),
            { bounds(0, 342, 594, 24), statusPanels({ 230, 200, 70 }) } },
    };
}

// The hidden part: the credits panel, the host address list, the DRIVER and File choices and
// the clock.
WindowDescription hiddenControls()
{
    return {
        { "Image1", "Form1", createAs(&TForm1::Image1),
            { bounds(8, 376, 413, 38), picture(&logoPicture), visible(false) } },
        { "Label3", "Form1", createAs(&TForm1::Label3),
            { bounds(432, 392, 231, 24), font({ .pointSize = 16, .bold = true, .color = blue }),
                caption("Copyright (C) Quillet"), visible(false) } },
        { "Label4", "Form1", createAs(&TForm1::Label4),
            { bounds(432, 368, 227, 24), font({ .pointSize = 14, .color = green }),
                caption("www.quillet.example"), visible(false),
                event("OnClick", &ClickableLabel::clicked, &TForm1::Label4Click) } },
        { "Button4", "Form1", createAs(&TForm1::Button4),
            { bounds(400, 135, 169, 25), caption("Visit Official Website"), visible(false),
                event("OnClick", &QPushButton::clicked, &TForm1::Button4Click) } },
        { "Memo2", "Form1", createAs(&TForm1::Memo2),
            { bounds(536, 208, 129, 41), text("Memo2"), visible(false) } },
        { "RadioButton4", "Form1", createAs(&TForm1::RadioButton4),
            { bounds(8, 584, 113, 17), caption("DRIVER"), visible(false),
                radioGroup("HiddenConnection"), onRadioClick(&TForm1::RadioButton4Click) } },
        { "GroupBox11", "Form1", createAs(&TForm1::GroupBox11),
            { bounds(104, 584, 329, 57), caption("Driver Selection"), visible(false) } },
        { "Label49", "GroupBox11", createAs(&TForm1::Label49),
            { caption("Printer Driver:"), autoSizedAt(16, 24) } },
        { "ComboBox26", "GroupBox11", createAs(&TForm1::ComboBox26),
            { bounds(104, 20, 145, 21), items({ "VARUVOZIRIVO" }), itemIndex(0),
                event("OnChange", &EditableComboBox::changed, &TForm1::ComboBox26Change) } },
        { "RadioButton5", "Form1", createAs(&TForm1::RadioButton5),
            { bounds(8, 648, 65, 17), caption("File"), visible(false),
                radioGroup("HiddenConnection"), onRadioClick(&TForm1::RadioButton5Click) } },
        { "GroupBox12", "Form1", createAs(&TForm1::GroupBox12),
            { bounds(104, 648, 329, 57), caption("File Configuration"), visible(false) } },
        { "Label50", "GroupBox12", createAs(&TForm1::Label50),
            { caption("File Name:"), autoSizedAt(16, 24) } },
        { "Edit17", "GroupBox12", createAs(&TForm1::Edit17),
            { bounds(104, 20, 145, 21), text("abc"),
                event("OnChange", &QLineEdit::textChanged, &TForm1::Edit17Change) } },
        { "Timer1", "Form1", createAs(&TForm1::Timer1),
            { timerInterval(1000), timerEnabled(true),
                event("OnTimer", &QTimer::timeout, &TForm1::Timer1Timer) } },
    };
}

} // namespace

WindowDescription form1Description()
{
    WindowDescription description;
    for (WindowDescription part : { connectionControls(), testControls(), hiddenControls() })
        description.insert(description.end(), std::make_move_iterator(part.begin()),
            std::make_move_iterator(part.end()));
    return description;
}

} // namespace app
