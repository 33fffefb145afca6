#include "cli/PrintText.h"

#include "platform/AnsiText.h"

namespace cli {

std::string withCrLfLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF that follows makes the line end
        if (text[i] == '\n' || text[i] == '\r')
            out += "\r\n";
        else
            out += text[i];
    }
    return out;
}

std::string printTextBytes(const std::string& utf8, const std::string& codePage)
{
    const std::string text = withCrLfLineEnds(utf8);
    return codePage.empty() ? platform::utf8ToAnsi(text) : platform::utf8ToCodePage(text, codePage);
}

} // namespace cli
