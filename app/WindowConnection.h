#pragma once
// The transports' view of the window, read at the moment of a press or a question: which
// connection is chosen and its settings.

#include "printer/PrinterConnection.h"

namespace app {

class TForm1;

class WindowConnection : public printer::PrinterConnection {
public:
    explicit WindowConnection(const TForm1& form)
        : m_form(form)
    {
    }

    bool isChecked(printer::Connection connection) const override;
    std::string lptDeviceName() const override;
    cport::TCustomComPort& comPort() const override;
    std::string networkAddress() const override;

private:
    const TForm1& m_form;
};

} // namespace app
