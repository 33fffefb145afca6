// Real-time answers of the running quillet-virtual-printer while it draws a 1.2 m receipt: the
// round trip of DLE EOT 1 from a second connection, asked again and again until the receipt's
// picture is written, beside the same question asked of the idle printer. Both in one run, over
// loopback TCP; the goal is a maximum of at most 5 ms while drawing.
#include "bench/support/Median.h"
#include "support/TempDir.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kIdleQuestions = 500, kReceipts = 8;

// A loopback port nobody listens on just now.
int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

int connectTo(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int attempt = 0; attempt < 500; ++attempt) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const int yes = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            return fd;
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    throw std::runtime_error("the virtual printer does not listen");
}

// One DLE EOT 1 and its answer, in milliseconds.
double askStatus(int fd)
{
    const auto start = Clock::now();
    if (send(fd, "\x10\x04\x01", 3, MSG_NOSIGNAL) != 3)
        throw std::runtime_error("cannot ask");
    pollfd wait { fd, POLLIN, 0 };
    char reply;
    if (poll(&wait, 1, 5000) != 1 || read(fd, &reply, 1) != 1)
        throw std::runtime_error("no answer within 5 s");
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 1.2 m of paper: 320 lines of a table with emphasized cells.
std::string longReceipt()
{
    std::string job = "\x1b@";
    for (int row = 0; row < 320; ++row) {
        // The row number emphasized (ESC E 1, ESC E 0), then the rest of the row.
        job += "\x1b\x45\x01" + std::to_string(row) + "\x1b\x45" + '\0';
        job += " Item " + std::to_string(row) + "     12.50   1   12.50\n";
    }
    return job + "\x1dV" + '\0';
}

void report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %6.3f ms, 99th %6.3f ms, max %6.3f ms (%zu answers)\n", what,
        benchsupport::median(times), times[times.size() * 99 / 100], times.back(), times.size());
}

} // namespace

int main()
{
    testsupport::TempDir folder;
    const int port = freePort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    const char* argv[]
        = { VIRTUAL_PRINTER, "--tcp", address.c_str(), "--out", folder.path().c_str(), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, VIRTUAL_PRINTER, &actions, nullptr, const_cast<char**>(argv), environ)
        != 0)
        throw std::runtime_error("cannot start the virtual printer");
    const int asking = connectTo(port);

    std::vector<double> idle, drawing;
    for (int i = 0; i < kIdleQuestions; ++i)
        idle.push_back(askStatus(asking));
    const auto job = longReceipt();
    for (int receipt = 1; receipt <= kReceipts; ++receipt) {
        const int printing = connectTo(port);
        (void)!send(printing, job.data(), job.size(), MSG_NOSIGNAL);
        close(printing);
        char name[32];
        std::snprintf(name, sizeof name, "/%04d.png", receipt);
        const auto picture = folder.path() + name;
        while (!std::filesystem::exists(picture))
            drawing.push_back(askStatus(asking));
    }
    close(asking);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);

    std::printf("DLE EOT 1 round trip over loopback TCP, %d receipts of 1.2 m drawn meanwhile\n",
        kReceipts);
    report("idle printer:", idle);
    report("while a receipt is drawn:", drawing);
    std::printf("goal: max while drawing <= 5 ms\n");
    return 0;
}
