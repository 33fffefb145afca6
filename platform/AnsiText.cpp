#include "platform/AnsiText.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace platform {

namespace {

// One iconv conversion descriptor per call keeps the functions thread-safe.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_handle(iconv_open(to, from))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1))
            throw std::invalid_argument(
                std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_handle); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at an input sequence it cannot convert, with
    // in and left pointing at it.
    bool convert(char*& in, std::size_t& left, std::string& out)
    {
        char buffer[1024];
        while (left > 0) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(m_handle, &in, &left, &next, &room);
            out.append(buffer, next - buffer);
            if (result != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            return false;
        }
        return true;
    }

private:
    iconv_t m_handle;
};

std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

bool isUndefinedAnsiByte(unsigned char c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// UTF-8 to codePage with "?" for what cannot be converted. keepUndefinedAnsi: U+0081 and its
// kin become the byte Windows-1252 leaves undefined, as ansiToUtf8 reads it.
std::string encodeUtf8(const std::string& utf8, const char* codePage, bool keepUndefinedAnsi)
{
    Converter converter(codePage, "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    std::string input = utf8;
    char* in = input.data();
    std::size_t left = input.size();
    while (!converter.convert(in, left, out)) {
        const auto lead = static_cast<unsigned char>(in[0]);
        if (keepUndefinedAnsi && lead == 0xC2 && left >= 2
            && isUndefinedAnsiByte(static_cast<unsigned char>(in[1]))) {
            out += in[1];
            in += 2;
            left -= 2;
            continue;
        }
        // An unmappable character, or one byte of a malformed sequence: "?" for it, then go on.
        std::size_t skip = std::min(left, utf8SequenceLength(lead));
        for (std::size_t i = 1; i < skip; ++i)
            if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80)
                skip = 1;
        out += '?';
        in += skip;
        left -= skip;
    }
    return out;
}

} // namespace

std::string utf8ToAnsi(const std::string& utf8)
{
    return encodeUtf8(utf8, "WINDOWS-1252", true);
}

std::string utf8ToCodePage(const std::string& utf8, const std::string& codePage)
{
    return encodeUtf8(utf8, codePage.c_str(), false);
}

bool knownCodePage(const std::string& codePage)
{
    const iconv_t handle = iconv_open(codePage.c_str(), "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(handle);
    return true;
}

std::string ansiToUtf8(const std::string& ansi)
{
    Converter converter("UTF-8", "WINDOWS-1252");
    std::string out;
    out.reserve(ansi.size());
    std::string input = ansi;
    char* in = input.data();
    std::size_t left = input.size();
    while (!converter.convert(in, left, out)) {
        // A byte the code page leaves undefined: keep its Latin-1 meaning.
        const auto c = static_cast<unsigned char>(*in);
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        ++in;
        --left;
    }
    return out;
}

} // namespace platform
