#pragma once
// The network transport: the bytes go to TCP port 9100 of the printer through the network
// printing library (libZEVarUV), one connection per call.

#include <cstddef>
#include <optional>
#include <string>

namespace printer {

// Connects to address (connect limit 5 s, send limit noProgressLimit without progress); when
// connected, pauses 5 ms, sends every byte, pauses 5 ms and disconnects. A printer that cannot
// be reached gives "Connect error", one that did not acknowledge every byte "Send error", each
// in the plain message box. Nothing is raised. The wait hook runs while the library works.
// Returns the count the printer acknowledged; nullopt when it could not be reached.
std::optional<std::size_t> sendNetwork(const std::string& address, const std::string& bytes);

} // namespace printer
