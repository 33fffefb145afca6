#include "platform/BuiltinTexts.h"

#include <array>
#include <atomic>
#include <exception>

namespace platform {

namespace {

constexpr std::array sources {
    "File not found",
    "Invalid filename",
    "Too many open files",
    "File access denied",
    "Read beyond end of file",
    "Disk full",
    "Invalid numeric input",
    "I/O error %d",
    "Exception %s in module %s at %p.",
    "Application Error",
    "Error reading %s%s%s: %s",
    "'%s' is not a valid integer value",
    "Format '%s' invalid or incompatible with argument",
    "Failed to create key %s",
    "Failed to set data for '%s'",
    "Failed to get data for '%s'",
    "Invalid data type for '%s'",
    "Registry store '%s' cannot be read: %s",
    "Registry store '%s' is damaged at line %d (%s); it was left unchanged",
};
static_assert(sources.size() == std::size_t(BuiltinText::RegistryStoreDamaged) + 1,
    "one built text for each name");

std::atomic<BuiltinTextLoader> installedLoader { nullptr };

} // namespace

const char* builtinSource(BuiltinText text)
{
    return sources.at(static_cast<std::size_t>(text));
}

void setBuiltinTextLoader(BuiltinTextLoader loader)
{
    installedLoader.store(loader);
}

std::string loadBuiltin(BuiltinText text, LoadFailure failure)
{
    const char* source = builtinSource(text);
    const BuiltinTextLoader loader = installedLoader.load();
    if (!loader)
        return source;
    try {
        return loader(source);
    } catch (const std::exception&) {
        if (failure == LoadFailure::raise)
            throw;
        return source;
    }
}

std::string formatBuiltin(
    BuiltinText text, std::initializer_list<FormatArg> args, LoadFailure failure)
{
    const std::string loaded = loadBuiltin(text, failure);
    const char* source = builtinSource(text);
    if (loaded != source) {
        if (auto formatted = tryFormatMessage(loaded, args))
            return std::move(*formatted);
    }
    return formatMessage(source, args);
}

} // namespace platform
