#include "PrinterProcess.h"

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr auto kLineWait = std::chrono::seconds(60);

int exitCodeOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

PrinterProcess::PrinterProcess(const std::vector<std::string>& arguments)
{
    int input[2], output[2], errors[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0
        || pipe2(errors, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    // The child's ends, closed here once the child has its copies.
    const platform::FileDescriptor childEnds[] = { platform::FileDescriptor(input[0]),
        platform::FileDescriptor(output[1]), platform::FileDescriptor(errors[1]) };
    m_pid = fork();
    if (m_pid == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(errors[1], STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(VIRTUAL_PRINTER));
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(VIRTUAL_PRINTER, argv.data());
        _exit(127);
    }
    m_input.reset(input[1]);
    m_outputReader = std::thread([this, fd = platform::FileDescriptor(output[0])]() mutable {
        collect(std::move(fd), m_output);
    });
    m_errorReader = std::thread([this, fd = platform::FileDescriptor(errors[0])]() mutable {
        collect(std::move(fd), m_errors);
    });
}

PrinterProcess::~PrinterProcess()
{
    if (m_pid > 0)
        stop();
}

void PrinterProcess::collect(platform::FileDescriptor fd, std::vector<std::string>& lines)
{
    std::string pending;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd.get(), buffer, sizeof buffer)) > 0) {
        pending.append(buffer, static_cast<std::size_t>(got));
        std::lock_guard lock(m_mutex);
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            lines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
        m_changed.notify_all();
    }
    fd.reset();
    std::lock_guard lock(m_mutex);
    if (&lines == &m_output)
        m_outputEnded = true;
    m_changed.notify_all();
}

std::string PrinterProcess::waitForLine(const std::string& prefix)
{
    std::unique_lock lock(m_mutex);
    std::string found;
    bool matched = false;
    m_changed.wait_for(lock, kLineWait, [&] {
        for (auto line = m_output.begin(); line != m_output.end(); ++line) {
            if (line->rfind(prefix, 0) == 0) {
                found = line->substr(prefix.size());
                m_output.erase(line);
                return matched = true;
            }
        }
        return m_outputEnded;
    });
    if (!matched)
        throw std::runtime_error(
            "no line \"" + prefix + "\" from the printer; it said:\n" + [this] {
                std::string all;
                for (const auto& line : m_errors)
                    all += line + '\n';
                return all;
            }());
    return found;
}

int PrinterProcess::tcpPort()
{
    const auto announced = waitForLine("tcp ");
    return std::stoi(announced.substr(announced.rfind(':') + 1));
}

bool PrinterProcess::hasSaid(const std::string& prefix)
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_output.begin(), m_output.end(),
        [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

std::string PrinterProcess::errors()
{
    std::lock_guard lock(m_mutex);
    std::string all;
    for (const auto& line : m_errors)
        all += line + '\n';
    return all;
}

void PrinterProcess::writeLine(const std::string& line)
{
    const auto bytes = line + '\n';
    (void)!write(m_input.get(), bytes.data(), bytes.size());
}

int PrinterProcess::stop()
{
    kill(m_pid, SIGTERM);
    return wait();
}

int PrinterProcess::wait()
{
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    m_outputReader.join();
    m_errorReader.join();
    return exitCodeOf(status);
}

double PrinterProcess::cpuSeconds() const
{
    std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
    std::string field;
    double ticks = 0;
    // Fields 14 and 15 are user and system time; the name in field 2 has no spaces here.
    for (int i = 1; i <= 15 && stat >> field; ++i)
        if (i >= 14)
            ticks += std::stod(field);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

RawClient::RawClient(const std::string& host, int port)
    : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (connect(m_fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect to the printer");
}

void RawClient::send(const std::string& bytes)
{
    (void)!::send(m_fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string RawClient::receive(std::size_t count, int timeoutMs)
{
    return readExactly(m_fd.get(), count, timeoutMs);
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string logOf(const std::string& picture)
{
    return fileText(picture.substr(0, picture.size() - 4) + ".txt");
}

std::string readExactly(int fd, std::size_t count, int timeoutMs)
{
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait { fd, POLLIN, 0 };
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[256];
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

} // namespace testsupport
