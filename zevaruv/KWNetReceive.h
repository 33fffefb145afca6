#pragma once
// Reading the printer's replies on the connection KWNetOpen made: port 9100 carries both ways,
// so status queries sent with KWNetSend are answered on the same connection.

#include "zevaruv/ZEVarUV.h"

// Waits up to `milliseconds` for the first byte, then takes what has arrived, at most `size`
// bytes. Returns the count taken (0 when nothing came in time), or -1 when nothing is
// connected, the arguments are unusable, or the peer has closed the connection or failed.
ZEVARUV_API std::int32_t KWNetReceive(
    std::uint8_t* buffer, std::int32_t size, std::int32_t milliseconds);
