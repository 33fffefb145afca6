#include "cli/NetworkArgument.h"

#include "cli/DecimalText.h"
#include "cli/UsageError.h"

namespace cli {

namespace {

constexpr std::string_view kPrinterPort = "9100";

[[noreturn]] void invalidAddress(std::string_view argument)
{
    throw UsageError("invalid IPv4 address '" + std::string(argument)
        + "' (four numbers from 0 to 255, such as 127.0.0.1)");
}

} // namespace

std::string parseNetworkArgument(std::string_view argument)
{
    const auto colon = argument.find(':');
    if (colon != std::string_view::npos && argument.substr(colon + 1) != kPrinterPort)
        throw UsageError("port '" + std::string(argument.substr(colon + 1))
            + "' cannot be reached: network printers are reached on port 9100");
    const auto address = argument.substr(0, colon);
    std::string dotted;
    std::string_view rest = address;
    for (int field = 0; field < 4; ++field) {
        const auto dot = rest.find('.');
        if ((dot == std::string_view::npos) != (field == 3))
            invalidAddress(argument);
        const auto number = rest.substr(0, dot);
        const auto value = parseDecimal(number);
        // Three digits at most: a leading zero is allowed, an octal reading never meant.
        if (!value || *value > 255 || number.size() > 3)
            invalidAddress(argument);
        dotted += (field ? "." : "") + std::to_string(*value);
        rest = dot == std::string_view::npos ? "" : rest.substr(dot + 1);
    }
    return dotted;
}

} // namespace cli
