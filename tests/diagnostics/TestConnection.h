#pragma once
// The connection choice a pane test makes, in place of the window's radio buttons.

#include "printer/PrinterConnection.h"
#include "serial/CPort.h"
#include "serial/core/ComDevice.h"

#include <memory>

namespace testsupport {

struct TestConnection : printer::PrinterConnection {
    TestConnection()
        : port(std::make_unique<cport::TComPort>())
    {
    }
    // A serial port on a scripted device.
    explicit TestConnection(std::unique_ptr<cport::TComDevice> device)
        : port(std::make_unique<cport::TComPort>(std::move(device)))
    {
    }

    printer::Connection chosen = printer::Connection::Ethernet;
    std::string lptName = "LPT1";
    std::string address;
    std::unique_ptr<cport::TComPort> port;

    bool isChecked(printer::Connection connection) const override { return connection == chosen; }
    std::string lptDeviceName() const override { return lptName; }
    cport::TCustomComPort& comPort() const override { return *port; }
    std::string networkAddress() const override { return address; }
};

} // namespace testsupport
