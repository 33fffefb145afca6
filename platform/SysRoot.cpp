#include "platform/SysRoot.h"

#include <cstdlib>

namespace platform {

std::string sysRoot()
{
    const char* value = std::getenv("QUILLET_SYSROOT");
    std::string root = value ? value : "";
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    return root;
}

std::string underSysRoot(const std::string& absolutePath)
{
    return sysRoot() + absolutePath;
}

} // namespace platform
