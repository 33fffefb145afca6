#include "cli/FailureKind.h"

#include "platform/Exception.h"
#include "printer/PrinterDevice.h"
#include "serial/CPort.h"

#include <cerrno>

namespace cli {

namespace {

// The runtime's I/O codes of the parallel device (platform/IoError.h).
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;

FailureKind fromErrno(int error)
{
    switch (error) {
    case EBUSY:
        return FailureKind::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO: // a device without its hardware, a FIFO nobody serves
        return FailureKind::Missing;
    case EACCES:
    case EPERM:
        return FailureKind::Permission;
    default:
        return FailureKind::Failed;
    }
}

FailureKind fromIoCode(int code)
{
    switch (code) {
    case kFileNotFound:
    case kPathNotFound:
        return FailureKind::Missing;
    case kAccessDenied:
        return FailureKind::Permission;
    default:
        return fromErrno(code); // every other code is the errno itself
    }
}

} // namespace

FailureKind openFailureKind(printer::Connection connection, const std::exception& error)
{
    if (dynamic_cast<const printer::ENotPrinterDevice*>(&error))
        return FailureKind::NotADevice;
    if (const auto* port = dynamic_cast<const cport::EComPort*>(&error))
        return port->errorCode() == cport::ecOpenFailed ? fromErrno(port->systemError())
                                                        : FailureKind::Failed;
    if (const auto* io = dynamic_cast<const platform::EInOutError*>(&error))
        return fromIoCode(io->errorCode());
    return connection == printer::Connection::Ethernet ? FailureKind::Refused : FailureKind::Failed;
}

const char* failureKindWord(FailureKind kind)
{
    switch (kind) {
    case FailureKind::Busy:
        return "busy";
    case FailureKind::Missing:
        return "missing";
    case FailureKind::Refused:
        return "refused";
    case FailureKind::Permission:
        return "permission";
    case FailureKind::NotADevice:
        return "not-a-device";
    case FailureKind::Failed:
        break;
    }
    return "failed";
}

} // namespace cli
