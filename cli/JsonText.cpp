#include "cli/JsonText.h"

#include <cstdio>

namespace cli {

std::string jsonString(std::string_view bytes)
{
    std::string text = "\"";
    for (const unsigned char byte : bytes) {
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += static_cast<char>(byte);
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            text += escaped;
        }
    }
    return text + '"';
}

std::string jsonFlag(std::optional<bool> value)
{
    if (!value)
        return "null";
    return *value ? "true" : "false";
}

} // namespace cli
