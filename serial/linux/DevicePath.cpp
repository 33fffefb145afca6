#include "serial/core/ComSystem.h"

#include "platform/SysRoot.h"

#include <cctype>

namespace cport {

namespace {

// n of "COMn" when the name has that form with n >= 1, else 0.
unsigned long comNumber(const std::string& port)
{
    if (port.size() < 4 || port.size() > 12)
        return 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(port[i])) != "COM"[i])
            return 0;
    }
    unsigned long n = 0;
    for (std::size_t i = 3; i < port.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(port[i])))
            return 0;
        n = n * 10 + static_cast<unsigned long>(port[i] - '0');
    }
    return n;
}

} // namespace

std::string comDevicePath(const std::string& port)
{
    if (!port.empty() && port[0] == '/')
        return port;
    if (const unsigned long n = comNumber(port))
        return platform::underSysRoot("/dev/ttyS" + std::to_string(n - 1));
    return platform::underSysRoot("/dev/" + port);
}

} // namespace cport
