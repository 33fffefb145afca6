#include "tests/cli/ProgramRun.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

const char* const kDisplayVariables[] = { "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=" };

std::vector<std::string> childEnvironment(const ProgramOptions& options)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        bool dropped = false;
        for (const char* display : kDisplayVariables)
            dropped = dropped || variable.rfind(display, 0) == 0;
        for (const auto& [name, value] : options.environment)
            dropped = dropped || variable.rfind(name + "=", 0) == 0;
        if (!dropped)
            variables.push_back(variable);
    }
    for (const auto& [name, value] : options.environment)
        variables.push_back(name + "=" + value);
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (auto& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

struct Pipe {
    int fd[2] = { -1, -1 };
    Pipe()
    {
        if (::pipe2(fd, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2 failed");
    }
    ~Pipe()
    {
        for (int end : fd)
            if (end >= 0)
                ::close(end);
    }
    void close(int end)
    {
        ::close(fd[end]);
        fd[end] = -1;
    }
};

// Feeds the input and collects both outputs until the program has closed them.
bool pump(Pipe& in, Pipe& out, Pipe& err, const ProgramOptions& options, ProgramResult& result)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeoutMs);
    std::size_t written = 0;
    if (options.input.empty())
        in.close(1);
    while (out.fd[0] >= 0 || err.fd[0] >= 0) {
        pollfd watched[3]
            = { { out.fd[0], POLLIN, 0 }, { err.fd[0], POLLIN, 0 }, { in.fd[1], POLLOUT, 0 } };
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (::poll(watched, 3, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return false;
        for (int i = 0; i < 2; ++i) {
            if (!watched[i].revents)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(watched[i].fd, buffer, sizeof buffer);
            if (got > 0)
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(got));
            else
                (i == 0 ? out : err).close(0);
        }
        if (watched[2].revents) {
            const ssize_t put
                = ::write(in.fd[1], options.input.data() + written, options.input.size() - written);
            written += put > 0 ? static_cast<std::size_t>(put) : 0;
            if (put < 0 || written == options.input.size())
                in.close(1);
        }
    }
    return true;
}

} // namespace

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments,
    const ProgramOptions& options)
{
    std::vector<std::string> argv { path };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = childEnvironment(options);
    auto argvPointers = pointers(argv);
    auto envPointers = pointers(envp);
    Pipe in, out, err;
    // A write to a program that has stopped reading must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::dup2(in.fd[0], STDIN_FILENO);
        ::dup2(out.fd[1], STDOUT_FILENO);
        ::dup2(err.fd[1], STDERR_FILENO);
        ::execve(path.c_str(), argvPointers.data(), envPointers.data());
        ::_exit(127);
    }
    in.close(0);
    out.close(1);
    err.close(1);
    ProgramResult result;
    const bool finished = pump(in, out, err, options, result);
    if (!finished)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (finished)
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

} // namespace testsupport
