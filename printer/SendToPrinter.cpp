#include "printer/SendToPrinter.h"

#include "printer/NetworkOutput.h"
#include "printer/ParallelOutput.h"
#include "printer/SerialOutput.h"

namespace printer {

void sendToPrinter(const PrinterConnection& connection, const std::string& bytes)
{
    if (connection.isChecked(Connection::Com))
        sendSerial(connection.comPort(), bytes);
    if (connection.isChecked(Connection::Lpt))
        sendParallel(connection.lptDeviceName(), bytes);
    if (connection.isChecked(Connection::Ethernet))
        sendNetwork(connection.networkAddress(), bytes);
}

} // namespace printer
