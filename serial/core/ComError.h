#pragma once
// EComPort, the serial component's one exception kind, with its numbered message table.

#include "platform/Exception.h"

#include <string>

namespace cport {

// The component's error codes; the texts are in ComError.cpp.
enum TComErrorCode : int {
    ecOpenFailed = 1,
    ecWriteFailed = 2,
    ecReadFailed = 3,
    ecInvalidAsync = 4,
    ecPurgeFailed = 5,
    ecAsyncCheck = 6,
    ecSetStateFailed = 7,
    ecTimeoutsFailed = 8,
    ecSetupCommFailed = 9,
    ecClearCommFailed = 10,
    ecModemStatusFailed = 11,
    ecEscapeCommFailed = 12,
    ecTransmitFailed = 13,
    ecConnectedChange = 14,
    ecEnumPortsFailed = 15,
    ecStoreFailed = 16,
    ecLoadFailed = 17,
    ecLinkRegistration = 18,
    ecLedState = 19,
    ecThreadCreated = 20,
    ecWaitFailed = 21,
    ecHasLink = 22,
    ecRegistry = 23,
};

// A failure of the serial component: its code (1 to 23) and the system's error number, or -1.
class EComPort : public platform::Exception {
public:
    // With the system's error number: the message ends in " (win error code: <n>)".
    EComPort(int errorCode, int systemError);
    // The same, and a line break and `detail` after it when that is not empty.
    EComPort(int errorCode, int systemError, const std::string& detail);
    // Without one: systemError is -1 and the message is the table text alone.
    explicit EComPort(int errorCode);

    int errorCode() const noexcept { return m_errorCode; }
    int systemError() const noexcept { return m_systemError; }
    const char* className() const noexcept override { return "EComPort"; }

private:
    int m_errorCode;
    int m_systemError;
};

// The (translated) table text of an error code; "" for a code outside the table.
std::string comErrorText(int errorCode);

// Replaces the table's texts with their translations (the component's module start), and
// brings back the texts as built (its end). Only while no port is open.
void translateComErrorTable();
void restoreComErrorTable();

// Raises EComPort(errorCode, systemError) when systemError is not 0.
void raiseOnComError(int errorCode, int systemError);

} // namespace cport
