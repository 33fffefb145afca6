#include "cli/JsonText.h"

namespace cli {

std::string jsonFlag(std::optional<bool> value)
{
    if (!value)
        return "null";
    return *value ? "true" : "false";
}

} // namespace cli
