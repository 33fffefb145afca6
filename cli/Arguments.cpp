#include "cli/Arguments.h"

#include "cli/CodeTableText.h"
#include "cli/DecimalText.h"
#include "cli/NetworkArgument.h"
#include "cli/SerialArgument.h"
#include "cli/UsageError.h"
#include "platform/AnsiText.h"

#include <map>
#include <utility>

namespace cli {

namespace {

constexpr std::int64_t kLongestTimeoutMs = 600000;
constexpr std::int64_t kLongestWaitSeconds = 3600;
constexpr std::int64_t kMostJobs = 1000;
constexpr std::int64_t kLongestWatchSeconds = 86400;

const std::map<std::string, Action, std::less<>> kCommands {
    { "print-test", Action::PrintTest },
    { "print-text", Action::PrintText },
    { "capability-page", Action::CapabilityPage },
    { "cut", Action::Cut },
    { "drawer", Action::Drawer },
    { "status", Action::Status },
    { "recover", Action::Recover },
    { "raw", Action::Raw },
};

// Walks the arguments, handing out options with their values and the other words in order.
class ArgumentReader {
public:
    struct Argument {
        std::string text;
        bool isOption; // false for words, "-" (standard input) and everything after "--"
    };
    explicit ArgumentReader(const std::vector<std::string>& arguments)
        : m_arguments(arguments)
    {
    }
    std::optional<Argument> next()
    {
        while (m_next < m_arguments.size()) {
            const std::string& text = m_arguments[m_next++];
            if (!m_optionsEnded && text == "--") {
                m_optionsEnded = true;
                continue;
            }
            return Argument { text, !m_optionsEnded && text.size() > 1 && text[0] == '-' };
        }
        return std::nullopt;
    }
    // The value of an option: after "=" in the same argument, or the next argument.
    std::string value(const std::string& option, std::optional<std::string>& inlineValue)
    {
        if (inlineValue)
            return *std::exchange(inlineValue, std::nullopt);
        if (m_next >= m_arguments.size())
            throw UsageError("option '" + option + "' needs a value");
        return m_arguments[m_next++];
    }

private:
    const std::vector<std::string>& m_arguments;
    std::size_t m_next = 0;
    bool m_optionsEnded = false;
};

void setTarget(Invocation& invocation, Target target)
{
    if (invocation.target)
        throw UsageError("choose one connection: --com, --lpt, --net or --usb");
    invocation.target = std::move(target);
}

// The window's empty device name stands for standard output; a shell has /dev/stdout for that,
// so an empty name here is a slip.
std::string lptDevice(std::string name)
{
    if (name.empty())
        throw UsageError("--lpt needs a device: LPT1 to LPT4 or a path");
    return name;
}

Target usbTarget(const std::string& text)
{
    const auto selector = usb::parseUsbSelector(text);
    if (!selector)
        throw UsageError("invalid USB printer '" + text + "' (VID:PID[:SERIAL] or BUS-ADDRESS)");
    return { printer::Connection::Lpt, {}, {}, {}, selector };
}

std::chrono::milliseconds parseTimeout(const std::string& text)
{
    const auto ms = parseDecimal(text);
    if (!ms || *ms < 1 || *ms > kLongestTimeoutMs)
        throw UsageError("invalid time limit '" + text + "' (1 to 600000 milliseconds)");
    return std::chrono::milliseconds(*ms);
}

std::chrono::milliseconds parseWait(const std::string& text)
{
    const auto seconds = parseDecimal(text);
    if (!seconds || *seconds < 0 || *seconds > kLongestWaitSeconds)
        throw UsageError("invalid waiting time '" + text + "' (0 to 3600 seconds)");
    return std::chrono::seconds(*seconds);
}

std::size_t parseJobs(const std::string& text)
{
    const auto jobs = parseDecimal(text);
    if (!jobs || *jobs < 1 || *jobs > kMostJobs)
        throw UsageError("invalid number of jobs '" + text + "' (1 to 1000)");
    return static_cast<std::size_t>(*jobs);
}

std::chrono::seconds parseWatch(const std::string& text)
{
    const auto seconds = parseDecimal(text);
    if (!seconds || *seconds < 1 || *seconds > kLongestWatchSeconds)
        throw UsageError("invalid watching time '" + text + "' (1 to 86400 seconds)");
    return std::chrono::seconds(*seconds);
}

void refuseValue(const std::string& option, const std::optional<std::string>& inlineValue)
{
    if (inlineValue)
        throw UsageError("option '" + option + "' takes no value");
}

// Takes one option (with its value); false when the option is unknown.
bool takeOption(const std::string& name, std::optional<std::string>& inlineValue,
    ArgumentReader& reader, Invocation& invocation, bool& listed)
{
    using printer::Connection;
    if (name == "--com")
        setTarget(invocation,
            { Connection::Com, parseSerialArgument(reader.value(name, inlineValue)), {}, {} });
    else if (name == "--lpt")
        setTarget(
            invocation, { Connection::Lpt, {}, lptDevice(reader.value(name, inlineValue)), {} });
    else if (name == "--net")
        setTarget(invocation,
            { Connection::Ethernet, {}, {},
                parseNetworkArgument(reader.value(name, inlineValue)) });
    else if (name == "--usb")
        setTarget(invocation, usbTarget(reader.value(name, inlineValue)));
    else if (name == "--timeout") {
        invocation.timeout = parseTimeout(reader.value(name, inlineValue));
        invocation.timeoutGiven = true;
    } else if (name == "--wait")
        invocation.wait = parseWait(reader.value(name, inlineValue));
    else if (name == "--targets")
        invocation.targetsFile = reader.value(name, inlineValue);
    else if (name == "--jobs")
        invocation.jobs = parseJobs(reader.value(name, inlineValue));
    else if (name == "--prometheus")
        invocation.prometheusFile = reader.value(name, inlineValue);
    else if (name == "--watch")
        invocation.watch = parseWatch(reader.value(name, inlineValue));
    else if (name == "--clear") {
        refuseValue(name, inlineValue);
        invocation.clearBuffers = true;
    } else if (name == "--encoding")
        invocation.encoding = reader.value(name, inlineValue);
    else if (name == "--code-table" || name == "--profile" || name == "--code-tables")
        (name == "--code-table"       ? invocation.codeTable
                : name == "--profile" ? invocation.profileFile
                                      : invocation.codeTables)
            = reader.value(name, inlineValue);
    else if (name == "--hex" || name == "--json" || name == "--list") {
        refuseValue(name, inlineValue);
        (name == "--hex" ? invocation.hex : name == "--json" ? invocation.json : listed) = true;
    } else if (name == "--detach") {
        refuseValue(name, inlineValue);
        invocation.detachDriver = true;
    } else if (name == "--help" || name == "-h" || name == "--version") {
        refuseValue(name, inlineValue);
        invocation.action = name == "--version" ? Action::Version : Action::Help;
    } else
        return false;
    return true;
}

// What the words after the options ask for: the command and its operand.
void takeCommand(const std::vector<std::string>& words, Invocation& invocation)
{
    if (words.empty())
        throw UsageError(
            "no command given (print-test, print-text, capability-page, cut, drawer, status, "
            "recover, raw or --list)");
    const auto found = kCommands.find(words[0]);
    if (found == kCommands.end())
        throw UsageError("unknown command '" + words[0] + "'");
    invocation.action = found->second;
    const bool takesOperand = invocation.action == Action::PrintTest
        || invocation.action == Action::PrintText || invocation.action == Action::Raw;
    if (takesOperand && words.size() < 2)
        throw UsageError(words[0]
            + (invocation.action == Action::Raw ? " needs a file, or - to read standard input"
                                                : " needs a text, or - to read standard input"));
    if (words.size() > (takesOperand ? 2u : 1u))
        throw UsageError("unexpected argument '" + words[takesOperand ? 2 : 1] + "'");
    if (takesOperand)
        invocation.operand = words[1];
}

// status --targets: the connections come from the file, the results as JSON lines.
void checkFleetCombination(const Invocation& invocation)
{
    if (invocation.target)
        throw UsageError("--targets takes no other connection");
    if (invocation.action != Action::Status)
        throw UsageError("--targets applies to the status command only");
    if (invocation.hex || invocation.watch)
        throw UsageError("--hex and --watch cannot follow many printers at once");
    if (invocation.targetsFile->empty()
        || (invocation.prometheusFile && invocation.prometheusFile->empty()))
        throw UsageError("--targets and --prometheus need a file");
}

// The combinations that make no sense, found before anything is opened.
void checkCombination(const Invocation& invocation)
{
    if (invocation.action == Action::List) {
        if (invocation.target || invocation.targetsFile)
            throw UsageError("--list takes no connection");
        return;
    }
    if (invocation.targetsFile)
        return checkFleetCombination(invocation);
    if (invocation.jobs || invocation.prometheusFile)
        throw UsageError("--jobs and --prometheus apply to --targets only");
    if (!invocation.target)
        throw UsageError("no connection given: use --com, --lpt, --net or --usb");
    if (invocation.detachDriver && !invocation.target->usb)
        throw UsageError("--detach applies to --usb only");
    const bool asks = invocation.action == Action::Status || invocation.action == Action::Recover;
    if (invocation.json && !asks)
        throw UsageError("--json applies to the status and recover commands only");
    // The answers' limit: nothing else of a send waits for an answer.
    if (invocation.timeoutGiven && (!asks || invocation.watch))
        throw UsageError("--timeout applies to the status and recover commands only, not --watch");
    if (invocation.watch && invocation.action != Action::Status)
        throw UsageError("--watch applies to the status command only");
    if (invocation.clearBuffers && invocation.action != Action::Recover)
        throw UsageError("--clear applies to the recover command only");
    if (!invocation.encoding.empty() && invocation.action != Action::PrintTest)
        throw UsageError("--encoding applies to the print-test command only");
    if (!invocation.encoding.empty() && !platform::knownCodePage(invocation.encoding))
        throw UsageError("unknown encoding '" + invocation.encoding + "'");
    checkCodeTableOptions(invocation);
}

} // namespace

Invocation parseArguments(const std::vector<std::string>& arguments)
{
    Invocation invocation;
    ArgumentReader reader(arguments);
    std::vector<std::string> words;
    bool listed = false;
    while (auto next = reader.next()) {
        std::string argument = std::move(next->text);
        if (!next->isOption) {
            words.push_back(std::move(argument));
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto equals = argument.find('='); equals != std::string::npos) {
            inlineValue = argument.substr(equals + 1);
            argument.resize(equals);
        }
        if (!takeOption(argument, inlineValue, reader, invocation, listed))
            throw UsageError("unknown option '" + argument + "'");
        if (argument == "--help" || argument == "-h" || argument == "--version")
            return invocation; // whatever else the line holds, as GNU tools do
    }
    if (listed && !words.empty())
        throw UsageError("unexpected argument '" + words[0] + "'");
    if (listed)
        invocation.action = Action::List;
    else
        takeCommand(words, invocation);
    checkCombination(invocation);
    return invocation;
}

} // namespace cli
