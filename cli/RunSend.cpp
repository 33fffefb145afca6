#include "cli/RunSend.h"

#include "cli/Arguments.h"
#include "cli/CodeTableText.h"
#include "cli/DeviceAttempt.h"
#include "cli/DeviceList.h"
#include "cli/ExitCode.h"
#include "cli/FleetCheck.h"
#include "cli/HelpText.h"
#include "cli/HexTranscript.h"
#include "cli/InputBytes.h"
#include "cli/PrintText.h"
#include "cli/PrometheusText.h"
#include "cli/StatusReport.h"
#include "cli/StatusWatch.h"
#include "cli/StopSignals.h"
#include "cli/TargetConnection.h"
#include "cli/TargetLink.h"
#include "cli/TerminalText.h"
#include "cli/UsageError.h"
#include "platform/AnsiText.h"
#include "platform/ErrorReport.h"
#include "platform/MessageBoxes.h"
#include "printer/OpenPrinterLink.h"
#include "printer/PrinterDevice.h"
#include "printer/SendToPrinter.h"
#include "printer/TestActions.h"

#include <cerrno>
#include <cstring>

namespace cli {

namespace {

constexpr const char* kProgram = "quillet-send: ";
// The program itself, run once for each printer of a fleet check.
constexpr const char* kSelf = "/proc/self/exe";
constexpr std::size_t kDefaultJobs = 16;

// The bytes of an action, read and converted before any device is opened.
std::string actionBytes(const Invocation& invocation)
{
    switch (invocation.action) {
    case Action::PrintTest: {
        const std::string& text = *invocation.operand;
        return printer::printTestBytes(
            printTextBytes(text == "-" ? readInputBytes(text) : text, invocation.encoding));
    }
    case Action::CapabilityPage:
        return capabilityPageBytes(invocation);
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

// Where a run writes: results to out (JSON as UTF-8, text for people in the terminal's
// character set), errors to err.
struct Output {
    std::ostream& out;
    std::ostream& err;
    TerminalText terminal;

    // One line of error. The program's own texts (the window's translated failures) are
    // Windows-1252 inside it; the command line's own words and file names are UTF-8 already.
    void error(const std::string& text, bool ownText = true) const
    {
        err << terminal(kProgram + (ownText ? platform::ansiToUtf8(text) : text)) << '\n';
    }
    void text(const std::string& utf8) const { out << terminal(utf8); }
};

// A failure as the window's error report shows it (with the permission hint where it applies).
// A device that is no printer was refused unopened: the command line named the wrong thing.
int reportFailure(const std::exception& error, const Output& output)
{
    const bool refused = dynamic_cast<const printer::ENotPrinterDevice*>(&error) != nullptr;
    output.error(platform::errorReportText(error.what()), !refused);
    return refused ? exitUsage : exitFailure;
}

// The failure's message as the error line says it, in UTF-8 for JSON.
std::string failureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const printer::ENotPrinterDevice& error) {
        return platform::errorReportText(error.what()); // the command line's own words
    } catch (const std::exception& error) {
        return platform::ansiToUtf8(platform::errorReportText(error.what()));
    }
}

int reportFailure(const DeviceFailure& failure, const Output& output)
{
    try {
        std::rethrow_exception(failure.error);
    } catch (const std::exception& error) {
        return reportFailure(error, output);
    }
}

// The transports tell some failures ("Connect error", "Write timeout") in the window's plain
// message box instead of raising them: here they are collected and written as errors.
int sendAction(const Invocation& invocation, const std::string& bytes, const Output& output)
{
    const TargetConnection connection(*invocation.target);
    const platform::RecordingMessageService messages;
    if (invocation.hex)
        HexTranscript(output.err).record(printer::Direction::Sent, bytes);
    if (const auto failure = attemptWithWait(connection, invocation.target->kind, invocation.wait,
            [&] { sendToTarget(*invocation.target, connection, bytes, invocation.detachDriver); }))
        return reportFailure(*failure, output);
    for (const auto& box : messages.boxes())
        output.error(box.text);
    return messages.boxes().empty() ? exitDone : exitFailure;
}

// Opens the two-way link of the target (trying again while busy, for --wait).
std::optional<DeviceFailure> openLink(const Invocation& invocation,
    const TargetConnection& connection, std::unique_ptr<printer::PrinterLink>& link)
{
    return attemptWithWait(connection, invocation.target->kind, invocation.wait,
        [&] { link = openTargetLink(*invocation.target, connection, invocation.detachDriver); });
}

// What goes out before the status is read: recover's request (DLE ENQ 1, or 2 with --clear).
std::string requestBefore(const Invocation& invocation)
{
    if (invocation.action != Action::Recover)
        return {};
    return std::string { '\x10', '\x05', invocation.clearBuffers ? '\x02' : '\x01' };
}

// status --watch: one JSON line per message, written as it comes, until the time is up or
// Ctrl-C. A printer that sends none (no automatic status back, or nothing comes back on the
// connection) is told as no answer.
int watchStatus(printer::PrinterLink& link, const Invocation& invocation, const Output& output)
{
    if (!link.canAnswer()) {
        output.error("--watch: nothing comes back on this connection", false);
        return exitNoAnswer;
    }
    StopSignals stop;
    const auto count = watchAutoStatus(
        link, *invocation.watch, [&](const std::string& line) { output.out << line << std::flush; },
        [&] { return stop.arrived(); });
    if (count > 0)
        return exitDone;
    output.error("no automatic status came back from the printer", false);
    return exitNoAnswer;
}

// status and recover: the answers to DLE EOT 1 to 4 and GS I 1 to 3, after recover's request;
// status --watch: the printer's automatic status messages.
int queryStatus(const Invocation& invocation, const Output& output)
{
    const TargetConnection connection(*invocation.target);
    HexTranscript transcript(output.err);
    std::unique_ptr<printer::PrinterLink> link;
    if (const auto failure = openLink(invocation, connection, link)) {
        const int code = reportFailure(*failure, output);
        if (invocation.json)
            output.out << failureJson(failure->kind, failureMessage(failure->error));
        return code;
    }
    if (invocation.hex)
        link->setObserver(transcript.observer());
    printer::PrinterReport report;
    try {
        if (invocation.watch)
            return watchStatus(*link, invocation, output);
        if (const auto request = requestBefore(invocation); !request.empty())
            link->send(request);
        report = printer::queryFullStatus(*link, invocation.timeout);
    } catch (const std::exception& error) {
        const int code = reportFailure(error, output);
        if (invocation.json)
            output.out << failureJson(
                FailureKind::Failed, failureMessage(std::current_exception()));
        return code;
    }
    if (invocation.json)
        output.out << statusJson(report);
    else
        output.text(statusText(report));
    return statusExitCode(report);
}

// raw -: the bytes go out as they arrive on one connection, so a pipe that stays open
// (tail -f) is printed as it grows.
int streamRaw(const Invocation& invocation, const Output& output)
{
    const TargetConnection connection(*invocation.target);
    HexTranscript transcript(output.err);
    std::unique_ptr<printer::PrinterLink> link;
    if (const auto failure = openLink(invocation, connection, link))
        return reportFailure(*failure, output);
    if (invocation.hex)
        link->setObserver(transcript.observer());
    try {
        streamStandardInput([&](std::string_view piece) { link->send(std::string(piece)); });
    } catch (const UsageError&) {
        throw;
    } catch (const std::exception& error) {
        return reportFailure(error, output);
    }
    return exitDone;
}

// status --targets: one JSON line per printer as its check ends, the Prometheus file at the
// end, the worst outcome as the exit code.
int checkFleetStatus(const Invocation& invocation, const Output& output)
{
    const auto targets = readFleetTargets(*invocation.targetsFile);
    const FleetOptions options { kSelf, invocation.jobs.value_or(kDefaultJobs), invocation.timeout,
        invocation.wait };
    const auto results = checkFleet(targets, options,
        [&](const FleetResult& result) { output.out << fleetLine(result) << std::flush; });
    if (invocation.prometheusFile) {
        if (const int error
            = writePrometheusFile(*invocation.prometheusFile, prometheusText(results))) {
            output.error(*invocation.prometheusFile + ": " + std::strerror(error), false);
            return exitFailure;
        }
    }
    return fleetExitCode(results);
}

int run(const Invocation& invocation, const Output& output)
{
    if (invocation.targetsFile)
        return checkFleetStatus(invocation, output);
    switch (invocation.action) {
    case Action::Help:
        output.text(helpText());
        return exitDone;
    case Action::Version:
        output.text(versionText());
        return exitDone;
    case Action::List:
        output.text(deviceList());
        return exitDone;
    case Action::Status:
    case Action::Recover:
        return queryStatus(invocation, output);
    case Action::PrintText: {
        const auto text = codeTableTextBytes(invocation);
        if (!text.unencodable.empty())
            output.error(unencodableMessage(text.unencodable), false);
        return sendAction(invocation, text.bytes, output);
    }
    case Action::Raw:
        if (*invocation.operand == "-")
            return streamRaw(invocation, output);
        return sendAction(invocation, actionBytes(invocation), output);
    default:
        return sendAction(invocation, actionBytes(invocation), output);
    }
}

int runInvocation(const std::vector<std::string>& arguments, const Output& output)
{
    Invocation invocation;
    try {
        invocation = parseArguments(arguments);
    } catch (const UsageError& error) {
        output.error(error.message() + " (see quillet-send --help)", false);
        return exitUsage;
    }
    try {
        return run(invocation, output);
    } catch (const UsageError& error) {
        // The input of print-test or raw could not be read; nothing has been opened yet.
        output.error(error.message(), false);
        return exitUsage;
    } catch (const std::exception& error) {
        return reportFailure(error, output);
    }
}

// What was written must have arrived: a full disk or a closed file behind standard output is
// a failed run, not a silent success.
bool outputArrived(const Output& output)
{
    // A text longer than the stream's buffer fails while it is written: errno still says why.
    const int earlier = output.out ? 0 : errno;
    errno = 0;
    output.out.flush();
    if (output.out)
        return true;
    const int error = errno ? errno : earlier;
    output.error(std::string("write error on standard output")
            + (error ? std::string(": ") + std::strerror(error) : std::string()),
        false);
    return false;
}

} // namespace

int runSend(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
    const std::string& codeset)
{
    const Output output { out, err, TerminalText(codeset) };
    const int code = runInvocation(arguments, output);
    return outputArrived(output) ? code : exitFailure;
}

} // namespace cli
