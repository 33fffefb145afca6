#include "serial/core/ComError.h"

#include "platform/Format.h"
#include "serial/core/ComTranslation.h"

#include <algorithm>
#include <array>

namespace cport {

namespace {

constexpr std::array<const char*, 23> errorTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

const char* const errorSuffix = " (win error code: %d)";

// The table as messages use it: as built until the component's module start translates it.
std::array<std::string, errorTexts.size()> messageTexts = [] {
    std::array<std::string, errorTexts.size()> texts;
    std::copy(errorTexts.begin(), errorTexts.end(), texts.begin());
    return texts;
}();

std::string messageWithSystemError(int errorCode, int systemError)
{
    const std::int64_t number = systemError;
    try {
        return comErrorText(errorCode)
            + platform::formatMessage(comTranslate(errorSuffix), { number });
    } catch (const platform::EConvertError&) {
        // A translation whose directives do not fit: the original template always does.
        return comErrorText(errorCode) + platform::formatMessage(errorSuffix, { number });
    }
}

} // namespace

std::string comErrorText(int errorCode)
{
    if (errorCode < 1 || errorCode > int(messageTexts.size()))
        return "";
    return messageTexts[std::size_t(errorCode - 1)];
}

void translateComErrorTable()
{
    for (std::size_t i = 0; i < errorTexts.size(); ++i)
        messageTexts[i] = comTranslate(errorTexts[i]);
}

void restoreComErrorTable()
{
    std::copy(errorTexts.begin(), errorTexts.end(), messageTexts.begin());
}

EComPort::EComPort(int errorCode, int systemError)
    : platform::Exception(messageWithSystemError(errorCode, systemError))
    , m_errorCode(errorCode)
    , m_systemError(systemError)
{
}

EComPort::EComPort(int errorCode, int systemError, const std::string& detail)
    : platform::Exception(messageWithSystemError(errorCode, systemError)
          + (detail.empty() ? std::string() : "\n" + detail))
    , m_errorCode(errorCode)
    , m_systemError(systemError)
{
}

EComPort::EComPort(int errorCode)
    : platform::Exception(comErrorText(errorCode))
    , m_errorCode(errorCode)
    , m_systemError(-1)
{
}

void raiseOnComError(int errorCode, int systemError)
{
    if (systemError != 0)
        throw EComPort(errorCode, systemError);
}

} // namespace cport
