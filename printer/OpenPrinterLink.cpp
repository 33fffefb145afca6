#include "printer/OpenPrinterLink.h"

#include "platform/Exception.h"
#include "printer/NetworkLink.h"
#include "printer/ParallelLink.h"
#include "printer/SerialLink.h"

namespace printer {

std::unique_ptr<PrinterLink> openPrinterLink(
    const PrinterConnection& connection, bool keepSerialOpen)
{
    if (connection.isChecked(Connection::Com))
        return std::make_unique<SerialLink>(connection.comPort(), keepSerialOpen);
    if (connection.isChecked(Connection::Lpt))
        return std::make_unique<ParallelLink>(connection.lptDeviceName());
    if (connection.isChecked(Connection::Ethernet))
        return std::make_unique<NetworkLink>(connection.networkAddress());
    throw platform::Exception("No connection is chosen");
}

} // namespace printer
