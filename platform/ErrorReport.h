#pragma once
// The default error report: what happens to an exception that leaves an event handler.

#include <exception>
#include <string>

namespace platform {

// The report's text: the message with "." appended when its last character sorts above the
// full stop (so "File not found" gains one, "Done." and "(x)" do not).
std::string errorReportText(const std::string& message);

// Shows the exception in the error box; the silent EAbort kind shows nothing.
void reportException(std::exception_ptr error);

// Runs a handler and reports whatever it raises, so no exception crosses the event loop.
template <typename Handler> void runReported(Handler&& handler)
{
    try {
        handler();
    } catch (...) {
        reportException(std::current_exception());
    }
}

// The text of the "Application Error" box for an exception that ended the start:
// "Exception <class> in module <file> at <address>." a line break, then the message.
std::string applicationErrorText(
    const std::exception& error, const std::string& moduleName, const void* address);

} // namespace platform
