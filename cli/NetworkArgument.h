#pragma once
// The network connection as written after --net: a dotted IPv4 address, optionally followed by
// ":9100", the printer port the network printing library reaches (the only one it reaches).

#include <string>
#include <string_view>

namespace cli {

// The address in its plain dotted form ("127.0.0.1"). Raises UsageError for anything that is
// not four numbers from 0 to 255 or for another port.
std::string parseNetworkArgument(std::string_view argument);

} // namespace cli
