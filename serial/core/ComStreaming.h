#pragma once
// Writing a port to a window description: the published properties in published order, each
// left out when it equals its streaming default (properties without one are always written).

#include <string>
#include <vector>

namespace cport {

class TCustomComPort;

struct TStreamedProperty {
    std::string name; // "BaudRate", "Parity.Bits", "FlowControl.XonChar" ...
    std::string value; // as a description writes it: br9600, 'COM1', True, #17, [evRxChar], 100
};

std::vector<TStreamedProperty> streamedProperties(const TCustomComPort& port);

} // namespace cport
