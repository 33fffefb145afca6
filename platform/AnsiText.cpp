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
            throw std::runtime_error(
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

} // namespace

std::string utf8ToAnsi(const std::string& utf8)
{
    Converter converter("WINDOWS-1252", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    std::string input = utf8;
    char* in = input.data();
    std::size_t left = input.size();
    while (!converter.convert(in, left, out)) {
        const auto lead = static_cast<unsigned char>(in[0]);
        if (lead == 0xC2 && left >= 2 && isUndefinedAnsiByte(static_cast<unsigned char>(in[1]))) {
            // U+0081 and its kin: the byte the code page leaves undefined, as ansiToUtf8 reads it.
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
