// Which failures of a press or a question are a lack of permission, and on which device.
#include "platform/IoError.h"
#include "platform/LptDevice.h"
#include "printer/PermissionHint.h"
#include "serial/CPort.h"

#include <cerrno>

namespace printer {

namespace {

constexpr int kAccessDenied = 5; // the runtime's code for EACCES, EPERM and EROFS

[[noreturn]] void raiseWithHint(const platform::Exception& error, const std::string& devicePath)
{
    const std::string message = withPermissionHint(error.message(), devicePath);
    if (message == error.message())
        throw;
    throw platform::Exception(message);
}

} // namespace

void runWithPermissionHint(const PrinterConnection& connection, const std::function<void()>& action)
{
    try {
        action();
    } catch (const cport::EComPort& error) {
        const int system = error.systemError();
        if (error.errorCode() != cport::ecOpenFailed || (system != EACCES && system != EPERM))
            throw;
        raiseWithHint(error, cport::comDevicePath(connection.comPort().Port()));
    } catch (const platform::EInOutError& error) {
        if (error.errorCode() != kAccessDenied)
            throw;
        raiseWithHint(error, platform::lptDevicePath(connection.lptDeviceName()));
    }
}

} // namespace printer
