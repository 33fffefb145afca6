// The full capability page (every code table) built and sent by quillet-send over loopback TCP
// to the virtual printer, beside `cat page.bin | nc -q0 ADDR 9100` sending the same bytes, built
// beforehand, in the same run, rounds alternating. Timed from the press (the sender's start) to
// the sender's end (every byte handed to the connection) and to the printer's last receipt (it
// has taken the last byte, the full cut, and drawn the page). Goal: at most 1.2 x netcat.
#include "bench/support/Median.h"
#include "escpos/CapabilityPage.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/emulator/PrinterProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 15;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Sender {
    const char* name;
    std::vector<std::string> argv;
    std::vector<double> endMs, printedMs;
};

// Whether the receipt is the page's last: the one the full cut ends (a page longer than 2 m
// goes on in the next receipt).
bool endsWithFullCut(const std::string& picture)
{
    std::ifstream log(picture.substr(0, picture.size() - 4) + ".txt");
    std::ostringstream text;
    text << log.rdbuf();
    return text.str().find("GS V 65 0 full cut") != std::string::npos;
}

// One press: the sender started, its end noted by a thread of its own, the printer's receipts
// awaited up to the full cut.
bool timeOnce(Sender& sender, testsupport::PrinterProcess& printer)
{
    std::vector<char*> argv;
    for (auto& word : sender.argv)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const auto start = Clock::now();
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    Clock::time_point end;
    std::thread reaper([&] {
        ::waitpid(child, &status, 0);
        end = Clock::now();
    });
    while (!endsWithFullCut(printer.waitForLine("receipt "))) { }
    const auto printed = Clock::now();
    reaper.join();
    sender.endMs.push_back(ms(end - start));
    sender.printedMs.push_back(ms(printed - start));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main()
{
    const std::string address = testsupport::randomLoopbackAddress();
    testsupport::TempDir files, out;
    const auto page
        = escpos::capabilityPageBytes(escpos::capabilityItems(escpos::parseCodeTableList("all")));
    files.writeFile("page.bin", page);
    testsupport::PrinterProcess printer(
        { "--tcp", address + ":9100", "--out", out.path(), "--pause", "0" });
    printer.waitForLine("ready");
    Sender senders[] = {
        { "quillet-send",
            { QUILLET_SEND, "--net", address, "capability-page", "--code-tables", "all" }, {}, {} },
        { "cat | nc",
            { "/bin/sh", "-c",
                "cat '" + files.file("page.bin") + "' | nc -q0 " + address + " 9100" },
            {}, {} },
    };
    for (int round = 0; round < kRounds; ++round)
        for (auto& sender : senders)
            if (!timeOnce(sender, printer)) {
                std::fprintf(stderr, "%s failed (is netcat-openbsd installed?)\n", sender.name);
                return 1;
            }
    std::printf(
        "capability page, all tables: %zu bytes, median of %d rounds\n", page.size(), kRounds);
    for (const auto& sender : senders)
        std::printf("  %-13s to its end %7.2f ms, to the printer's last receipt %7.2f ms\n",
            sender.name, benchsupport::median(sender.endMs),
            benchsupport::median(sender.printedMs));
    std::printf("raw ratio quillet-send / cat | nc: to the sender's end %.2f, to the last receipt "
                "%.2f (goal <= 1.2)\n",
        benchsupport::median(senders[0].endMs) / benchsupport::median(senders[1].endMs),
        benchsupport::median(senders[0].printedMs) / benchsupport::median(senders[1].printedMs));
    return 0;
}
