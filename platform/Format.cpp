#include "platform/Format.h"

#include "platform/BuiltinTexts.h"
#include "platform/Exception.h"

#include <cstdio>
#include <vector>

namespace platform {

namespace {

std::string addressText(const void* address)
{
    char text[2 * sizeof(void*) + 1];
    std::snprintf(text, sizeof text, "%0*llX", int(2 * sizeof(void*)),
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
    return text;
}

} // namespace

std::optional<std::string> tryFormatMessage(
    const std::string& pattern, std::initializer_list<FormatArg> args)
{
    std::vector<FormatArg> values(args);
    std::size_t next = 0;
    std::string out;
    out.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (++i == pattern.size())
            return std::nullopt;
        const char directive = pattern[i];
        if (directive == '%') {
            out += '%';
            continue;
        }
        if (next == values.size())
            return std::nullopt;
        const FormatArg& value = values[next++];
        if (directive == 's' && std::holds_alternative<std::string>(value))
            out += std::get<std::string>(value);
        else if (directive == 'd' && std::holds_alternative<std::int64_t>(value))
            out += std::to_string(std::get<std::int64_t>(value));
        else if (directive == 'p' && std::holds_alternative<Address>(value))
            out += addressText(std::get<Address>(value).value);
        else
            return std::nullopt;
    }
    return out;
}

std::string formatMessage(const std::string& pattern, std::initializer_list<FormatArg> args)
{
    if (auto formatted = tryFormatMessage(pattern, args))
        return std::move(*formatted);
    throw EConvertError(formatBuiltin(BuiltinText::InvalidFormat, { pattern }));
}

} // namespace platform
