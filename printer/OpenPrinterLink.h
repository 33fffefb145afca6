#pragma once
// The two-way link of the connection chosen in the window.

#include "printer/PrinterConnection.h"
#include "printer/PrinterLink.h"

#include <memory>

namespace printer {

// Opens the link of the first checked choice, in the transports' order COM, LPT, ETHERNET.
// keepSerialOpen: a serial port stays open after the link goes. Failures to open are raised
// as the transports raise them (EComPort, EInOutError, "Connect error").
std::unique_ptr<PrinterLink> openPrinterLink(
    const PrinterConnection& connection, bool keepSerialOpen);

} // namespace printer
