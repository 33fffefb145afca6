#pragma once
// The errors of the registry store.

#include "platform/Exception.h"

#include <string>

namespace platform {

// A registry operation failed: "Failed to create key %s", "Failed to set data for '%s'",
// "Failed to get data for '%s'", "Invalid data type for '%s'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "ERegistryException"; }
};

// The store's file exists but cannot be read or parsed. It is left exactly as it is: the
// operator has to repair or remove it, the program never overwrites it.
class ERegistryFileError : public ERegistryException {
public:
    ERegistryFileError(std::string message, std::string path)
        : ERegistryException(std::move(message))
        , m_path(std::move(path))
    {
    }
    const std::string& path() const noexcept { return m_path; }
    const char* className() const noexcept override { return "ERegistryFileError"; }

private:
    std::string m_path;
};

} // namespace platform
