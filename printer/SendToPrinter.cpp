#include "printer/SendToPrinter.h"

#include "printer/ParallelOutput.h"

namespace printer {

void sendToPrinter(const PrinterConnection& connection, const std::string& bytes)
{
    // The serial transport belongs before this test and the network transport after it.
    if (connection.isChecked(Connection::Lpt))
        sendParallel(connection.lptDeviceName(), bytes);
}

} // namespace printer
