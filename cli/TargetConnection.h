#pragma once
// The connection of the command line in the form the window's transports read it, so the
// command line sends through the very same transports as the window's buttons.

#include "cli/Invocation.h"
#include "printer/PrinterConnection.h"
#include "serial/CPort.h"

namespace cli {

class TargetConnection : public printer::PrinterConnection {
public:
    // A serial target's port object gets the target's name and line settings.
    explicit TargetConnection(const Target& target);

    bool isChecked(printer::Connection connection) const override;
    std::string lptDeviceName() const override { return m_target.lptDevice; }
    cport::TCustomComPort& comPort() const override { return m_port; }
    std::string networkAddress() const override { return m_target.address; }

private:
    const Target& m_target;
    mutable cport::TComPort m_port;
};

} // namespace cli
