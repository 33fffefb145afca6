#include "app/WindowConnection.h"

#include "app/EditableComboBox.h"
#include "app/TForm1.h"
#include "serial/CPort.h"
#include "widgets/IPEdit.h"

#include <QRadioButton>

namespace app {

bool WindowConnection::isChecked(printer::Connection connection) const
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

std::string WindowConnection::lptDeviceName() const
{
    return m_form.ComboBox25->selectedItemText().toStdString();
}

cport::TCustomComPort& WindowConnection::comPort() const
{
    return *m_form.CP;
}

std::string WindowConnection::networkAddress() const
{
    return m_form.IPEdit1->IPString().toStdString();
}

} // namespace app
