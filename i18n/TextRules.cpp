#include "i18n/TextRules.h"

#include <algorithm>

namespace gnugettext {

std::string withoutCarriageReturns(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '\r')
            result += c;
    }
    return result;
}

std::string withCarriageReturns(std::string_view text)
{
    // Whole stretches between line feeds are copied at once: help texts run to kilobytes. Room
    // for a carriage return every 16 bytes is made at once; shorter lines grow the text.
    std::size_t feed = text.find('\n');
    if (feed == std::string_view::npos)
        return std::string(text);
    std::string result;
    result.reserve(text.size() + text.size() / 16 + 1);
    std::size_t copied = 0;
    for (; feed != std::string_view::npos; feed = text.find('\n', feed + 1)) {
        if (feed > 0 && text[feed - 1] == '\r')
            continue;
        result.append(text.data() + copied, feed - copied);
        result.push_back('\r');
        copied = feed;
    }
    result.append(text.data() + copied, text.size() - copied);
    return result;
}

bool isValidUtf8(std::string_view text)
{
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80; // bounds of the second byte, which rule out overlong forms,
        unsigned char high = 0xbf; // surrogates and values above U+10FFFF
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high)
            return false;
        for (std::size_t i = 2; i < length; ++i) {
            if (at[i] < 0x80 || at[i] > 0xbf)
                return false;
        }
        at += length;
    }
    return true;
}

} // namespace gnugettext
