// Any bytes given to the registry store's parser give an error or a store, never a crash; a
// store that parses writes a text that parses back to the same store.
#include "platform/RegistryFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = platform::parseRegistryFile(bytes);
    if (const auto* fault = std::get_if<platform::RegistryParseError>(&result)) {
        if (fault->line < 1 || fault->reason.empty())
            std::abort();
        return 0;
    }
    const auto& tree = std::get<platform::RegistryTree>(result);
    const std::string text = platform::formatRegistryFile(tree);
    const auto again = platform::parseRegistryFile(text);
    if (!std::holds_alternative<platform::RegistryTree>(again)
        || !(std::get<platform::RegistryTree>(again) == tree)
        || platform::formatRegistryFile(std::get<platform::RegistryTree>(again)) != text)
        std::abort();
    return 0;
}
