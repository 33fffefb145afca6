// quillet-send status --targets over 200 loopback printers, half of them silent, with --jobs 200,
// beside a plain sequential loop of the same status questions (one quillet-send per printer,
// one after the other) and beside the best possible: the longest single target (a silent one)
// checked alone. All three in one run; goal: the fleet at most 1.3 x the best possible.
#include "support/TcpListener.h"
#include "tests/cli/ProgramRun.h"
#include "tests/printer/ScriptedPrinter.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTargets = 200;
constexpr const char* kTimeoutMs = "200"; // each answer's limit: a silent printer takes 7 of them

double secondsOf(const Clock::duration& duration)
{
    return std::chrono::duration<double>(duration).count();
}

// Runs quillet-send with the arguments; its wall time in seconds.
double timed(const std::vector<std::string>& arguments)
{
    const auto start = Clock::now();
    const auto run = testsupport::runProgram(QUILLET_SEND, arguments, { {}, {}, 600000 });
    const double seconds = secondsOf(Clock::now() - start);
    if (run.exitCode < 0 || run.exitCode == 1)
        std::fprintf(stderr, "quillet-send failed (%d): %s\n", run.exitCode, run.err.c_str());
    return seconds;
}

} // namespace

int main()
{
    // 200 addresses of this run's own below a random 127.A.B.
    const std::string base = testsupport::randomLoopbackAddress();
    const std::string prefix = base.substr(0, base.rfind('.') + 1);
    std::vector<std::unique_ptr<testsupport::ScriptedPrinter>> printers;
    std::vector<std::string> targets;
    for (int n = 1; n <= kTargets; ++n) {
        const std::string address = prefix + std::to_string(n);
        printers.push_back(testsupport::ScriptedPrinter::onTcp(address));
        if (n % 2 == 0)
            printers.back()->answerAsHealthyPrinter(); // the odd ones stay silent
        targets.push_back(address);
    }
    char folder[] = "/tmp/quillet-fleet-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const std::string file = std::string(folder) + "/targets.txt";
    {
        std::ofstream out(file);
        for (const auto& address : targets)
            out << "--net " << address << '\n';
    }

    const double fleet
        = timed({ "status", "--targets", file, "--jobs", "200", "--timeout", kTimeoutMs });
    const double longest = timed({ "--net", targets[0], "status", "--timeout", kTimeoutMs });
    const auto loopStart = Clock::now();
    for (const auto& address : targets)
        timed({ "--net", address, "status", "--timeout", kTimeoutMs });
    const double loop = secondsOf(Clock::now() - loopStart);
    ::unlink(file.c_str());
    ::rmdir(folder);

    std::printf("fleet check, %d loopback printers (%d silent), --timeout %s ms:\n", kTargets,
        kTargets / 2, kTimeoutMs);
    std::printf("  --targets --jobs 200:          %7.2f s\n", fleet);
    std::printf(
        "  sequential loop of the same:   %7.2f s  (%.1f x the fleet check)\n", loop, loop / fleet);
    std::printf("  longest single target alone:   %7.2f s  (the best possible)\n", longest);
    std::printf("  fleet / best possible:         %7.2f    (goal <= 1.3)\n", fleet / longest);
    return 0;
}
