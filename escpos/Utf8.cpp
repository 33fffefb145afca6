#include "escpos/Utf8.h"

namespace escpos {

namespace {

bool continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::size_t utf8CharacterLength(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF                      ? 3
        : lead >= 0xF0 && lead <= 0xF4                      ? 4
                                                            : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if (!continuation(static_cast<unsigned char>(bytes[at + i])))
            return 0;
    const char32_t point = utf8CodePoint(bytes, at, length);
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return overlong || surrogate || point > 0x10FFFF ? 0 : length;
}

char32_t utf8CodePoint(std::string_view bytes, std::size_t at, std::size_t length)
{
    static constexpr unsigned char kLeadBits[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    char32_t point = static_cast<unsigned char>(bytes[at]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i)
        point = (point << 6) | (static_cast<unsigned char>(bytes[at + i]) & 0x3F);
    return point;
}

std::u32string utf8Characters(std::string_view bytes)
{
    std::u32string characters;
    characters.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8CharacterLength(bytes, at);
        characters += length ? utf8CodePoint(bytes, at, length) : U'\uFFFD';
        at += length ? length : 1;
    }
    return characters;
}

std::string utf8Text(std::u32string_view characters)
{
    std::string out;
    for (const char32_t c : characters) {
        if (c < 0x80)
            out += char(c);
        else if (c < 0x800)
            out += { char(0xC0 | c >> 6), char(0x80 | (c & 0x3F)) };
        else if (c < 0x10000)
            out += { char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F)) };
        else
            out += { char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)),
                char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F)) };
    }
    return out;
}

} // namespace escpos
