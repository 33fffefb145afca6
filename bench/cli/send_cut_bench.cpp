// quillet-send --net ADDR cut: from the start of the process to the last byte at a loopback
// printer, median of 41 rounds, beside netcat (Debian's netcat-openbsd, fed the same four bytes
// on standard input as `printf '\x1d\x56\x42\x00' | nc -q0 ADDR 9100` does) and beside
// node-thermal-printer's raw send, measured the same way in the same run, rounds alternating.
// The network library's two 5 ms pauses are a floor no other sender has (10 ms until the printer
// sees the connection end; the second pause comes after the last byte, so until the last byte
// the floor is 5 ms). Printed for each reference: the raw ratio of the whole times, and
// quillet-send's cost above its floor beside the reference's whole cost; goal for the latter: at
// most 1.5 x netcat.
#include "bench/support/ArrivalListener.h"
#include "bench/support/Median.h"
#include "support/TcpListener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using benchsupport::Clock;
// A loopback address of this run's own, so that runs at the same time never collide.
const std::string kAddress = testsupport::randomLoopbackAddress();
constexpr int kRounds = 41;
constexpr double kFloorMs = 10.0;
const char kCut[] = { 0x1D, 0x56, 0x42, 0x00 };

struct Sender {
    std::string name;
    std::vector<std::string> argv;
    std::string workingDirectory; // empty: this one
    bool cutOnStandardInput = false;
    std::vector<double> lastByteMs;
    std::vector<double> endMs; // the printer sees the connection end
};

// Starts the sender, waits for its connection's last byte at the printer, and notes the time.
bool timeOnce(Sender& sender, benchsupport::ArrivalListener& printer)
{
    int input[2];
    if (::pipe(input) != 0)
        return false;
    if (sender.cutOnStandardInput)
        (void)!::write(input[1], kCut, sizeof kCut);
    ::close(input[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!sender.workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, sender.workingDirectory.c_str());
    std::vector<char*> argv;
    for (auto& word : sender.argv)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    if (spawned != 0)
        return false;
    const auto arrival = printer.next();
    int status = 0;
    ::waitpid(child, &status, 0);
    sender.lastByteMs.push_back(benchsupport::ms(arrival.lastByte - start));
    sender.endMs.push_back(benchsupport::ms(arrival.end - start));
    return arrival.bytes == sizeof kCut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool executable(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findProgram(const std::string& name)
{
    for (const char* folder : { "/usr/bin", "/bin", "/usr/local/bin" })
        if (executable(std::string(folder) + "/" + name))
            return std::string(folder) + "/" + name;
    return std::nullopt;
}

std::optional<Sender> nodeThermalPrinter()
{
    const std::string clients = NODE_CLIENTS;
    const auto node = findProgram("node");
    struct stat info { };
    if (!node || ::stat((clients + "/node_modules/node-thermal-printer").c_str(), &info) != 0)
        return std::nullopt;
    const std::string script = "import thermal from 'node-thermal-printer';"
                               "const p = new thermal.ThermalPrinter({ type: "
                               "thermal.PrinterTypes.EPSON, interface: 'tcp://"
        + kAddress
        + ":9100' });"
          "await p.raw(Buffer.from([0x1d, 0x56, 0x42, 0x00]));";
    return Sender { "node-thermal-printer raw", { *node, "--input-type=module", "-e", script },
        clients, false, {}, {} };
}

// One line per sender for one moment of arrival: the raw ratio of the whole times, and
// quillet-send's cost above the floor its pauses put before that moment beside the sender's whole
// cost.
void report(const char* moment, double floorMs, std::vector<double> Sender::*times,
    const std::vector<Sender>& senders)
{
    const double ours = benchsupport::median(senders[0].*times);
    std::printf("%s (quillet-send's floor before it: %.0f ms)\n", moment, floorMs);
    std::printf("  %-26s %8.3f ms, minus the floor %.3f ms\n", senders[0].name.c_str(), ours,
        ours - floorMs);
    for (std::size_t i = 1; i < senders.size(); ++i) {
        const double theirs = benchsupport::median(senders[i].*times);
        std::printf("  %-26s %8.3f ms: raw ratio %.2f; quillet-send above its floor / this %.2f\n",
            senders[i].name.c_str(), theirs, ours / theirs, (ours - floorMs) / theirs);
    }
}

} // namespace

int main()
{
    benchsupport::ArrivalListener printer(kAddress);
    std::vector<Sender> senders { { "quillet-send", { QUILLET_SEND, "--net", kAddress, "cut" }, {},
        false, {}, {} } };
    if (const auto nc = findProgram("nc"))
        senders.push_back(
            { "netcat (nc -q0)", { *nc, "-q0", kAddress, "9100" }, {}, true, {}, {} });
    else
        std::printf("netcat reference missing: no nc (install netcat-openbsd)\n");
    if (auto node = nodeThermalPrinter())
        senders.push_back(std::move(*node));
    else
        std::printf("node-thermal-printer reference missing: no node, or no node_modules in %s "
                    "(npm ci there)\n",
            NODE_CLIENTS);

    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < senders.size(); ++i) {
            // Alternating order, so neither side always runs on a warmer machine.
            auto& sender = senders[round % 2 ? senders.size() - 1 - i : i];
            if (!timeOnce(sender, printer)) {
                std::fprintf(stderr, "%s did not deliver the cut\n", sender.name.c_str());
                return 1;
            }
        }
    }
    std::printf("process start to the printer, median of %d rounds each\n", kRounds);
    report("the printer sees the connection end", kFloorMs, &Sender::endMs, senders);
    report("the last byte arrives", kFloorMs / 2, &Sender::lastByteMs, senders);
    std::printf("goal: quillet-send minus its floor at most 1.5 x netcat\n");
    return 0;
}
