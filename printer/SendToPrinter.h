#pragma once
// Hands a test action's bytes to the transport of the chosen connection.

#include "printer/PrinterConnection.h"

#include <cstddef>
#include <string>

namespace printer {

// What a press delivered: the count the transport reports as delivered (acknowledged by a
// network printer, written to a serial or parallel device) and the failure that stopped it,
// empty when there was none.
struct Delivery {
    std::size_t delivered = 0;
    std::string failure;
};

// Runs the transport of each checked choice, each tested on its own, in the order COM, LPT,
// ETHERNET. Transport failures are raised to the caller; the network's, which its transport
// shows in the plain message box ("Connect error", "Send error"), are returned.
Delivery sendToPrinter(const PrinterConnection& connection, const std::string& bytes);

} // namespace printer
