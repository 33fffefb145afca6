#include "cli/FleetCheck.h"

#include "cli/ExitCode.h"
#include "cli/JsonText.h"
#include "cli/StatusReport.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

// One check under way: the child, the read end of its standard output, what it wrote.
struct Running {
    std::size_t index;
    pid_t pid;
    platform::FileDescriptor output;
    std::string json;
    Clock::time_point start;
};

std::vector<std::string> childArguments(const FleetTarget& target, const FleetOptions& options)
{
    std::vector<std::string> arguments { options.program };
    arguments.insert(arguments.end(), target.words.begin(), target.words.end());
    arguments.insert(arguments.end(),
        { "status", "--json", "--timeout", std::to_string(options.timeout.count()), "--wait",
            std::to_string(
                std::chrono::duration_cast<std::chrono::seconds>(options.wait).count()) });
    return arguments;
}

// Starts the check of one target, its standard output on a pipe, nothing on the terminal.
Running start(std::size_t index, const FleetTarget& target, const FleetOptions& options)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    platform::FileDescriptor readEnd(pipeEnds[0]);
    platform::FileDescriptor writeEnd(pipeEnds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    auto arguments = childArguments(target, options);
    std::vector<char*> argv;
    for (auto& word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const auto started = Clock::now();
    const int error
        = posix_spawn(&pid, options.program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), options.program);
    return { index, pid, std::move(readEnd), {}, started };
}

// Reads what is there; false at the end of the child's output.
bool readSome(Running& check)
{
    char buffer[4096];
    const ssize_t got = ::read(check.output.get(), buffer, sizeof buffer);
    if (got > 0) {
        check.json.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    return got < 0 && errno == EINTR;
}

FleetResult finish(Running& check, const FleetTarget& target)
{
    int status = 0;
    while (::waitpid(check.pid, &status, 0) < 0 && errno == EINTR) { }
    FleetResult result;
    result.target = target.text;
    result.seconds = std::chrono::duration<double>(Clock::now() - check.start).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : exitFailure;
    while (!check.json.empty() && check.json.back() == '\n')
        check.json.pop_back();
    result.statusJson = check.json;
    if (result.statusJson.size() < 2 || result.statusJson.front() != '{')
        result.statusJson = failureJson(FailureKind::Failed, "the check ended without a result");
    return result;
}

// Waits for output of any running check; the index (in `running`) of each that ended.
std::vector<std::size_t> waitForEnds(std::vector<Running>& running)
{
    std::vector<pollfd> entries;
    for (const auto& check : running)
        entries.push_back({ check.output.get(), POLLIN, 0 });
    while (::poll(entries.data(), entries.size(), -1) < 0) {
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
    }
    std::vector<std::size_t> ended;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].revents != 0 && !readSome(running[i]))
            ended.push_back(i);
    return ended;
}

const char* outcomeOf(int exitCode)
{
    switch (exitCode) {
    case exitDone:
        return "ready";
    case exitPrinterFault:
        return "fault";
    case exitNoAnswer:
        return "no answer";
    default:
        return "failed";
    }
}

int severity(int exitCode)
{
    switch (exitCode) {
    case exitDone:
        return 0;
    case exitNoAnswer:
        return 1;
    case exitPrinterFault:
        return 2;
    default:
        return 3;
    }
}

} // namespace

std::vector<FleetResult> checkFleet(const std::vector<FleetTarget>& targets,
    const FleetOptions& options, const std::function<void(const FleetResult&)>& done)
{
    std::vector<FleetResult> results(targets.size());
    std::vector<Running> running;
    std::size_t next = 0;
    while (next < targets.size() || !running.empty()) {
        while (running.size() < std::max<std::size_t>(options.jobs, 1) && next < targets.size()) {
            running.push_back(start(next, targets[next], options));
            ++next;
        }
        auto ended = waitForEnds(running);
        // From the back, so the indexes of those still to remove stay right.
        for (auto it = ended.rbegin(); it != ended.rend(); ++it) {
            Running check = std::move(running[*it]);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(*it));
            results[check.index] = finish(check, targets[check.index]);
            done(results[check.index]);
        }
    }
    return results;
}

std::string fleetLine(const FleetResult& result)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result.seconds);
    return "{\"target\":" + jsonString(result.target) + ",\"outcome\":\""
        + outcomeOf(result.exitCode) + "\",\"seconds\":" + seconds + ","
        + result.statusJson.substr(1) + '\n';
}

int fleetExitCode(const std::vector<FleetResult>& results)
{
    int worst = exitDone;
    for (const auto& result : results) {
        const int code = result.exitCode == exitUsage ? exitFailure : result.exitCode;
        if (severity(code) > severity(worst))
            worst = code;
    }
    return worst;
}

} // namespace cli
