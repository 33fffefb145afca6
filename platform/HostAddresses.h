#pragma once
// The host computer's own IPv4 addresses.

#include <string>
#include <vector>

namespace platform {

// Empties lines, then appends the host's IPv4 addresses in dotted-decimal form, in the order
// the name service returns them for the host's own name. Every failure is silent and leaves
// the list empty or partial.
void listHostAddresses(std::vector<std::string>& lines);

} // namespace platform
