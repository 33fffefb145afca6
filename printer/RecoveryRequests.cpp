#include "printer/RecoveryRequests.h"

namespace printer {

std::string recoveryBytes(RecoveryRequest request)
{
    switch (request) {
    case RecoveryRequest::Recover:
        return { '\x10', '\x05', '\x01' };
    case RecoveryRequest::RecoverAndClear:
        return { '\x10', '\x05', '\x02' };
    case RecoveryRequest::ClearBuffers:
        break;
    }
    return { '\x10', '\x14', '\x08', '\x01', '\x03', '\x14', '\x01', '\x06', '\x02', '\x08' };
}

const char* recoveryName(RecoveryRequest request)
{
    switch (request) {
    case RecoveryRequest::Recover:
        return "Recover";
    case RecoveryRequest::RecoverAndClear:
        return "Recover and clear";
    case RecoveryRequest::ClearBuffers:
        break;
    }
    return "Clear buffers";
}

const char* recoverySentence(RecoveryRequest request)
{
    switch (request) {
    case RecoveryRequest::Recover:
        return "Ends a recoverable error; the printer prints again from the line where the error "
               "occurred.";
    case RecoveryRequest::RecoverAndClear:
        return "Ends a recoverable error after throwing away everything the printer had received "
               "but not printed.";
    case RecoveryRequest::ClearBuffers:
        break;
    }
    return "Throws away everything the printer had received but not printed; the error stays.";
}

} // namespace printer
