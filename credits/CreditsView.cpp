#include "credits/CreditsView.h"

namespace credits {

std::string memoText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace credits
