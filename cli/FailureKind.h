#pragma once
// Why a printer could not be reached, in a word scripts can act on: the device is held by
// another program ("busy", worth waiting for), is not there ("missing"), the network printer
// took no connection ("refused"), the user may not open it ("permission"), the name is no
// printer device ("not-a-device"), or anything else ("failed").

#include "printer/PrinterConnection.h"

#include <exception>

namespace cli {

enum class FailureKind { Busy, Missing, Refused, Permission, NotADevice, Failed };

// The kind of a failure to open the connection: from the serial component's system error, the
// parallel device's I/O code, or, for a network printer, any failure to connect.
FailureKind openFailureKind(printer::Connection connection, const std::exception& error);

// "busy", "missing", "refused", "permission", "not-a-device" or "failed".
const char* failureKindWord(FailureKind kind);

} // namespace cli
