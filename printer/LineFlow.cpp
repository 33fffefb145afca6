#include "printer/LineFlow.h"

#include "serial/CPort.h"

namespace printer {

const char* lineFlowName(LineFlow flow)
{
    switch (flow) {
    case LineFlow::None:
        return "none";
    case LineFlow::RtsCts:
        return "RTS/CTS";
    case LineFlow::DtrDsr:
        return "DTR/DSR";
    case LineFlow::XonXoff:
        break;
    }
    return "XON/XOFF";
}

std::unique_ptr<cport::TComPort> ownSerialPort(const cport::TCustomComPort& window, LineFlow flow)
{
    auto port = std::make_unique<cport::TComPort>();
    port->setPort(window.Port());
    port->setBaudRate(window.BaudRate());
    port->setCustomBaudRate(window.CustomBaudRate());
    port->setDataBits(window.DataBits());
    port->setStopBits(window.StopBits());
    port->setParity(window.Parity());
    port->setEvents(window.Events());
    auto& control = port->FlowControl();
    // Only the computer's output is held back: the printer says little, and never much.
    control.setFlowControl(flow == LineFlow::RtsCts ? cport::fcHardware : cport::fcNone);
    control.setXonXoffOut(flow == LineFlow::XonXoff);
    control.setOutDSRFlow(flow == LineFlow::DtrDsr);
    control.setControlDTR(cport::dtrEnable);
    return port;
}

} // namespace printer
