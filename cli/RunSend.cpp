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

namespace cli {

namespace {

constexpr const char* kProgram = "quillet-send: ";

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

// A failure as the window's error report shows it (with the permission hint where it applies).
int reportFailure(const std::exception& error, std::ostream& err)
{
    err << kProgram << platform::errorReportText(error.what()) << '\n';
    return exitFailure;
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
        printer::runWithPermissionHint(
            connection, [&] { printer::sendToPrinter(connection, bytes); });
    } catch (const std::exception& error) {
        return reportFailure(error, err);
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
        printer::runWithPermissionHint(connection, [&] {
            const auto link = printer::openPrinterLink(connection, false);
            if (invocation.hex)
                link->setObserver(transcript.observer());
            report = printer::queryFullStatus(*link, invocation.timeout);
        });
    } catch (const std::exception& error) {
        return reportFailure(error, err);
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
        return reportFailure(error, err);
    }
}

} // namespace cli
