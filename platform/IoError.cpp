#include "platform/IoError.h"

#include "platform/BuiltinTexts.h"
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
        return loadBuiltin(BuiltinText::FileNotFound);
    case 3:
        return loadBuiltin(BuiltinText::InvalidFilename);
    case 4:
        return loadBuiltin(BuiltinText::TooManyOpenFiles);
    case 5:
        return loadBuiltin(BuiltinText::FileAccessDenied);
    case 100:
        return loadBuiltin(BuiltinText::ReadBeyondEndOfFile);
    case 101:
        return loadBuiltin(BuiltinText::DiskFull);
    case 106:
        return loadBuiltin(BuiltinText::InvalidNumericInput);
    default:
        return formatBuiltin(BuiltinText::NumberedIoError, { std::int64_t { code } });
    }
}

void raiseInOutError(int code)
{
    throw EInOutError(code, ioErrorMessage(code));
}

} // namespace platform
