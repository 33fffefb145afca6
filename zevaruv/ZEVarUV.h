#pragma once
// The network printing library's C interface. One connection at a time, to TCP port 9100 of
// the given IPv4 address; every call is safe from any thread.

#include <cstdint>

#define ZEVARUV_API extern "C" __attribute__((visibility("default")))

// Connects to address:9100. connectSeconds limits the connection attempt; sendSeconds is how
// long each later KWNetSend may go without progress. Returns 1 only when connected; 0 for a
// malformed address, a refusal, an unreachable host or a time-out. A connection still open from
// before is closed first.
ZEVARUV_API std::uint8_t KWNetOpen(
    const char* address, std::int32_t connectSeconds, std::int32_t sendSeconds);

// Sends length bytes (zero bytes included) and returns how many the printer acknowledged
// before the send limit passed without progress or the peer went away: length on success,
// fewer on failure, 0 when nothing is connected or length is not positive. A slow printer that
// keeps taking bytes is never cut off.
ZEVARUV_API std::int32_t KWNetSend(const std::uint8_t* data, std::int32_t length);

// Installs, for the calling thread only, a function that KWNetOpen, KWNetSend and KWNetReceive
// call on that thread at least every 50 ms while they wait (for the connection, for room to
// send, for the printer's acknowledgements or replies): a program keeps its window alive there
// without a thread of its own. A null callback removes it. The callback must not call the
// library; a call it makes anyway fails at once (as with nothing connected) instead of waiting
// for the call that runs it.
ZEVARUV_API void KWNetWaitCallback(void (*callback)(void* context), void* context);

// Ends the connection opened by KWNetOpen, dropping bytes the printer never acknowledged;
// does nothing when none is open.
ZEVARUV_API void KWNetClose();
