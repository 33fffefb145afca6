// The window's test buttons and connection choice: what a press sends and where, and the
// status bar's connection text.
#include "app/BusyPress.h"
#include "app/EditableComboBox.h"
#include "app/PrinterPaneHost.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "credits/CreditsMode.h"
#include "printer/TestActions.h"
#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "widgets/IPEdit.h"

#include <QLineEdit>
#include <QRadioButton>

namespace app {

void TForm1::Button1Click(QObject*)
{
    // The text is read only when the bytes are built, after anything the press did to it.
    pressTestButton([this] { return printer::printTestBytes(memo1Bytes()); });
}

void TForm1::Button2Click(QObject*)
{
    pressTestButton(printer::cutPaperBytes);
}

void TForm1::Button3Click(QObject*)
{
    pressTestButton(printer::cashDrawerBytes);
}

void TForm1::pressTestButton(const std::function<std::string()>& buildBytes)
{
    // A failing reveal ends the press before anything is built or sent.
    credits::revealIfTriggered(*this);
    const BusyPress busy;
    m_paneHost->press(buildBytes());
}

void TForm1::Button4Click(QObject*)
{
    credits::Button4Click(*this);
}

void TForm1::Label4Click(QObject*)
{
    credits::Label4Click(*this);
}

ConnectionSettings TForm1::connectionSettings() const
{
    ConnectionSettings settings;
    settings.comPort = ComComboBox1->Text();
    settings.baudRate = ComComboBox2->Text();
    settings.ipString = IPEdit1->IPString();
    settings.lptItem = ComboBox25->selectedItemText();
    settings.driverItem = ComboBox26->selectedItemText();
    settings.fileName = Edit17->text();
    return settings;
}

void TForm1::showConnection(ConnectionChoice choice)
{
    StatusBar1->setPanelText(0, connectionText(choice, connectionSettings()));
}

void TForm1::showConnectionIfChecked(const QRadioButton* choice, ConnectionChoice text)
{
    if (choice->isChecked())
        showConnection(text);
}

void TForm1::RadioButton1Click(QObject*)
{
    showConnection(ConnectionChoice::Com);
}

void TForm1::RadioButton2Click(QObject*)
{
    showConnection(ConnectionChoice::Lpt);
}

void TForm1::RadioButton3Click(QObject*)
{
    showConnection(ConnectionChoice::Ethernet);
}

void TForm1::RadioButton4Click(QObject*)
{
    showConnection(ConnectionChoice::Driver);
}

void TForm1::RadioButton5Click(QObject*)
{
    showConnection(ConnectionChoice::File);
}

void TForm1::applySelectedPort()
{
    CP->setPort(ComComboBox1->Text().toStdString());
}

void TForm1::applySelectedBaudRate()
{
    CP->setBaudRate(cport::baudRateFromText(ComComboBox2->Text().toStdString()));
}

void TForm1::ComComboBox1Change(QObject*)
{
    showConnectionIfChecked(RadioButton1, ConnectionChoice::Com);
    applySelectedPort();
}

void TForm1::ComComboBox2Change(QObject*)
{
    showConnectionIfChecked(RadioButton1, ConnectionChoice::Com);
    applySelectedBaudRate();
}

void TForm1::IPEdit1Change(QObject*)
{
    showConnectionIfChecked(RadioButton3, ConnectionChoice::Ethernet);
}

void TForm1::ComboBox25Change(QObject*)
{
    showConnectionIfChecked(RadioButton2, ConnectionChoice::Lpt);
}

void TForm1::ComboBox26Change(QObject*)
{
    showConnectionIfChecked(RadioButton4, ConnectionChoice::Driver);
}

void TForm1::Edit17Change(QObject*)
{
    showConnectionIfChecked(RadioButton5, ConnectionChoice::File);
}

} // namespace app
