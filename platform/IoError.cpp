#include "platform/IoError.h"

#include "platform/Exception.h"

#include <cerrno>

namespace platform {

int ioCodeFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case ENOSPC:
        return 101;
    case EIO:
        // EIO's own number would read as "File access denied": report the device's failure.
        return 31;
    default:
        return error;
    }
}

std::string ioErrorMessage(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

void raiseInOutError(int code)
{
    throw EInOutError(code, ioErrorMessage(code));
}

} // namespace platform
