#include "cli/RunSend.h"

#include "cli/Arguments.h"
#include "cli/DeviceList.h"
#include "cli/ExitCode.h"
#include "cli/HelpText.h"
#include "cli/HexTranscript.h"
#include "cli/InputBytes.h"
#include "cli/PrintText.h"
#include "cli/StatusReport.h"
#include "cli/TargetConnection.h"
#include "cli/UsageError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageBoxes.h"
#include "printer/OpenPrinterLink.h"
#include "printer/PermissionHint.h"
#include "printer/SendToPrinter.h"
#include "printer/TestActions.h"
#include "serial/ComError.h"

#include <cerrno>

namespace cli {

namespace {

constexpr const char* kProgram = "quillet-send: ";

// The file runtime's code for "File access denied".
constexpr int kAccessDenied = 5;

// The bytes of an action, read and converted before any device is opened.
std::string actionBytes(const Invocation& invocation)
{
    switch (invocation.action) {
    case Action::PrintTest: {
        const std::string& text = *invocation.operand;
        return printer::printTestBytes(
            printTextBytes(text == "-" ? readInputBytes(text) : text, invocation.encoding));
    }
    case Action::Cut:
        return printer::cutPaperBytes();
    case Action::Drawer:
        return printer::cashDrawerBytes();
    case Action::Raw:
        return readInputBytes(*invocation.operand);
    default:
        return {};
    }
}

bool accessDenied(const std::exception& error)
{
    if (const auto* port = dynamic_cast<const cport::EComPort*>(&error))
        return port->errorCode() == cport::ecOpenFailed
            && (port->systemError() == EACCES || port->systemError() == EPERM);
    if (const auto* io = dynamic_cast<const platform::EInOutError*>(&error))
        return io->errorCode() == kAccessDenied;
    return false;
}

// The window's error report text, with the permission hint after it where it applies.
std::string failureText(const std::exception& error, const TargetConnection& connection)
{
    const std::string text = platform::errorReportText(error.what());
    return accessDenied(error) ? printer::withPermissionHint(text, connection.devicePath()) : text;
}

// The transports tell some failures ("Connect error", "Write timeout") in the window's plain
// message box instead of raising them: here they are collected and written as errors.
int sendAction(const Invocation& invocation, const std::string& bytes, std::ostream& err)
{
    const TargetConnection connection(*invocation.target);
    const platform::RecordingMessageService messages;
    try {
        if (invocation.hex)
            HexTranscript(err).record(printer::Direction::Sent, bytes);
        printer::sendToPrinter(connection, bytes);
    } catch (const std::exception& error) {
        err << kProgram << failureText(error, connection) << '\n';
        return exitFailure;
    }
    for (const auto& box : messages.boxes())
        err << kProgram << box.text << '\n';
    return messages.boxes().empty() ? exitDone : exitFailure;
}

int queryStatus(const Invocation& invocation, std::ostream& out, std::ostream& err)
{
    const TargetConnection connection(*invocation.target);
    HexTranscript transcript(err);
    printer::PrinterReport report;
    try {
        const auto link = printer::openPrinterLink(connection, false);
        if (invocation.hex)
            link->setObserver(transcript.observer());
        report = printer::queryFullStatus(*link, invocation.timeout);
    } catch (const std::exception& error) {
        err << kProgram << failureText(error, connection) << '\n';
        return exitFailure;
    }
    out << (invocation.json ? statusJson(report) : statusText(report));
    return statusExitCode(report);
}

int run(const Invocation& invocation, std::ostream& out, std::ostream& err)
{
    switch (invocation.action) {
    case Action::Help:
        out << helpText();
        return exitDone;
    case Action::Version:
        out << versionText();
        return exitDone;
    case Action::List:
        out << deviceList();
        return exitDone;
    case Action::Status:
        return queryStatus(invocation, out, err);
    default:
        return sendAction(invocation, actionBytes(invocation), err);
    }
}

} // namespace

int runSend(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    Invocation invocation;
    try {
        invocation = parseArguments(arguments);
    } catch (const UsageError& error) {
        err << kProgram << error.message() << " (see quillet-send --help)\n";
        return exitUsage;
    }
    try {
        return run(invocation, out, err);
    } catch (const UsageError& error) {
        // The input of print-test or raw could not be read; nothing has been opened yet.
        err << kProgram << error.message() << '\n';
        return exitUsage;
    } catch (const std::exception& error) {
        // The port list of --list could not be read.
        err << kProgram << platform::errorReportText(error.what()) << '\n';
        return exitFailure;
    }
}

} // namespace cli
