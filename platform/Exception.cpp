#include "platform/Exception.h"

namespace platform {

const char* exceptionClassName(const std::exception& error) noexcept
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->className();
    return "Exception";
}

} // namespace platform
