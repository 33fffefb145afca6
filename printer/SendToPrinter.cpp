#include "printer/SendToPrinter.h"

#include "printer/NetworkOutput.h"
#include "printer/ParallelOutput.h"
#include "printer/SerialOutput.h"

namespace printer {

Delivery sendToPrinter(const PrinterConnection& connection, const std::string& bytes)
{
    Delivery delivery { bytes.size(), {} };
    if (connection.isChecked(Connection::Com)) {
        const auto written = sendSerial(connection.comPort(), bytes);
        if (written < bytes.size())
            delivery = { written, "Write timeout" };
    }
    if (connection.isChecked(Connection::Lpt))
        sendParallel(connection.lptDeviceName(), bytes);
    if (connection.isChecked(Connection::Ethernet)) {
        const auto acknowledged = sendNetwork(connection.networkAddress(), bytes);
        if (!acknowledged)
            delivery = { 0, "Connect error" };
        else if (*acknowledged < bytes.size())
            delivery = { *acknowledged, "Send error" };
    }
    return delivery;
}

} // namespace printer
