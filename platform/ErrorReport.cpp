#include "platform/ErrorReport.h"

#include "platform/BuiltinTexts.h"
#include "platform/Exception.h"
#include "platform/MessageBoxes.h"

namespace platform {

std::string errorReportText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void reportException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // The silent kind.
    } catch (const std::exception& e) {
        showErrorMessage(errorReportText(e.what()));
    } catch (...) {
        showErrorMessage(errorReportText("Unknown error"));
    }
}

std::string applicationErrorText(
    const std::exception& error, const std::string& moduleName, const void* address)
{
    // A damaged catalog must not stop the report of what ended the start.
    return formatBuiltin(BuiltinText::ExceptionInModule,
               { std::string(exceptionClassName(error)), moduleName, Address { address } },
               LoadFailure::useBuiltText)
        + "\n" + error.what();
}

} // namespace platform
