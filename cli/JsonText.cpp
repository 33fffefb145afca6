#include "cli/JsonText.h"

#include "escpos/Utf8.h"

#include <cstdio>

namespace cli {

std::string jsonString(std::string_view bytes)
{
    std::string text = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = escpos::utf8CharacterLength(bytes, at);
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            text += escaped;
        } else if (length == 0) {
            text += "\xEF\xBF\xBD"; // U+FFFD REPLACEMENT CHARACTER
            at += 1;
            continue;
        } else {
            text.append(bytes.substr(at, length));
        }
        at += length;
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
