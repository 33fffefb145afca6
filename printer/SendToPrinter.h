#pragma once
// Hands a test action's bytes to the transport of the chosen connection.

#include "printer/PrinterConnection.h"

#include <string>

namespace printer {

// Runs the transport of each checked choice, each tested on its own, in the order COM, LPT,
// ETHERNET. Transport failures are raised to the caller.
void sendToPrinter(const PrinterConnection& connection, const std::string& bytes);

} // namespace printer
