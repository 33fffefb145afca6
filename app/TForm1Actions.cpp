// The window's test buttons and connection choice: what a press sends and where, and the
// status bar's connection text.
#include "app/EditableComboBox.h"
#include "app/StatusBar.h"
#include "app/TForm1.h"
#include "printer/SendToPrinter.h"
#include "printer/TestActions.h"

#include <QLineEdit>
#include <QRadioButton>

namespace app {

namespace {

// The transports' view of the window, read at the moment of the press.
class WindowConnection : public printer::PrinterConnection {
public:
    explicit WindowConnection(const TForm1& form)
        : m_form(form)
    {
    }

    bool isChecked(printer::Connection connection) const override
    {
        switch (connection) {
        case printer::Connection::Com:
            return m_form.RadioButton1->isChecked();
        case printer::Connection::Lpt:
            return m_form.RadioButton2->isChecked();
        case printer::Connection::Ethernet:
            return m_form.RadioButton3->isChecked();
        }
        return false;
    }

    std::string lptDeviceName() const override
    {
        return m_form.ComboBox25->selectedItemText().toStdString();
    }

private:
    const TForm1& m_form;
};

} // namespace

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
    printer::sendToPrinter(WindowConnection(*this), buildBytes());
}

ConnectionSettings TForm1::connectionSettings() const
{
    ConnectionSettings settings;
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
