#include "tests/printer/LateResponder.h"

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

namespace {

std::string hex(const std::string& bytes)
{
    std::string text;
    char digits[3];
    for (const char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        text += digits;
    }
    return text;
}

} // namespace

LateResponder::LateResponder(
    const std::string& address, int delayMs, const std::map<std::string, std::string>& replies)
{
    std::vector<std::string> arguments { "python3", LATE_RESPONDER, address,
        std::to_string(delayMs / 1000.0) };
    for (const auto& [question, reply] : replies)
        arguments.push_back(hex(question) + "=" + hex(reply));
    int ready[2];
    if (::pipe(ready) != 0)
        throw std::runtime_error("pipe");
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(ready[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execvp("python3", argv.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    char line[8] = {};
    const ssize_t got = ::read(ready[0], line, sizeof line - 1);
    ::close(ready[0]);
    if (got <= 0 || std::string(line).rfind("ready", 0) != 0)
        throw std::runtime_error("the late responder did not start");
}

LateResponder::~LateResponder()
{
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
}

std::map<std::string, std::string> LateResponder::offlinePrinter()
{
    return { { std::string("\x10\x04\x01", 3), "\x1A" }, { std::string("\x10\x04\x02", 3), "\x12" },
        { std::string("\x10\x04\x03", 3), "\x12" }, { std::string("\x10\x04\x04", 3), "\x12" } };
}

} // namespace testsupport
