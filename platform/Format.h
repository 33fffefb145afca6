#pragma once
// Message formatting for templates that may come from a translation catalog. Unlike printf it
// never reads past its arguments: a template that does not fit them raises EConvertError.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>

namespace platform {

// An address for %p (a distinct type, so that a C string is never taken for one).
struct Address {
    const void* value;
};

using FormatArg = std::variant<std::string, std::int64_t, Address>;

// Replaces %s (text), %d (integer), %p (address, 8 upper-case hex digits per 32 bits) and %%
// in order. Raises EConvertError ("Format '%s' invalid or incompatible with argument") when a
// directive is unknown, does not match its argument, or has no argument left.
std::string formatMessage(const std::string& pattern, std::initializer_list<FormatArg> args);
// The same without raising: nothing when the pattern does not fit args.
std::optional<std::string> tryFormatMessage(
    const std::string& pattern, std::initializer_list<FormatArg> args);

} // namespace platform
