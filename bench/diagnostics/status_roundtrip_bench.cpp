// Status round trip against quillet-virtual-printer on loopback TCP and on a pseudo-terminal:
// from sending DLE EOT 1 to the decoded state shown on the pane's lights, over the two-way link
// (network: one connection through the network library; serial: the port object), median of
// many questions. Printed beside a plain program's round trip on the same endpoint in the same
// run, the two taking turns question by question: write 10 04 01, poll and read the byte. Ratio
// goal: at most 1.3. The printer's state stays the same, so the lights change only once; what a
// changed state costs them is printed on its own line.
#include "PrinterProcess.h"
#include "bench/support/Median.h"
#include "diagnostics/StatusLight.h"
#include "printer/NetworkLink.h"
#include "printer/PrinterQueries.h"
#include "printer/SerialLink.h"
#include "serial/CPort.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"

#include <QApplication>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

using benchsupport::median;

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 5000;
constexpr std::chrono::milliseconds kLimit { 500 };
const char kQuery[] = { 0x10, 0x04, 0x01 };

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// One round trip of the plain program on an open descriptor; false when no byte came.
bool plainRoundTrip(int fd)
{
    if (::write(fd, kQuery, sizeof kQuery) != static_cast<ssize_t>(sizeof kQuery))
        return false;
    pollfd entry { fd, POLLIN, 0 };
    char reply = 0;
    return ::poll(&entry, 1, static_cast<int>(kLimit.count())) == 1 && ::read(fd, &reply, 1) == 1;
}

// Ours: the question over the link, decoded, and shown on the lights.
bool ourRoundTrip(printer::PrinterLink& link, diagnostics::StatusLightPanel& lights)
{
    printer::PrinterReport report;
    report.status.push_back(printer::askStatus(link, escpos::StatusQuery::Printer, kLimit));
    lights.showReport(report);
    return report.status[0].outcome == printer::Outcome::Answered;
}

struct Endpoint {
    const char* name;
    std::function<std::unique_ptr<printer::PrinterLink>()> openLink;
    std::function<int()> openPlain; // a descriptor on the same endpoint
};

// Questions taken in turns, ours and the plain program's, each timed on its own, so both meet
// the machine in the same state.
bool measure(const Endpoint& endpoint, diagnostics::StatusLightPanel& lights)
{
    std::vector<double> ours, plain;
    const auto link = endpoint.openLink();
    const int fd = endpoint.openPlain();
    for (int i = 0; i < kQuestions; ++i) {
        auto start = Clock::now();
        if (!ourRoundTrip(*link, lights))
            return false;
        ours.push_back(microseconds(Clock::now() - start));
        start = Clock::now();
        if (!plainRoundTrip(fd))
            return false;
        plain.push_back(microseconds(Clock::now() - start));
    }
    ::close(fd);
    const double oursUs = median(ours), plainUs = median(plain);
    std::printf("%s: query to lights %8.1f us, plain write/poll/read %8.1f us (median of %d each); "
                "ratio %.3f (goal <= 1.3)\n",
        endpoint.name, oursUs, plainUs, kQuestions, oursUs / plainUs);
    return true;
}

// What a changed state costs the lights (the round trips above answer alike, so after the first
// the lights have nothing to change): two printer states shown in turn.
void measureStateChange(diagnostics::StatusLightPanel& lights)
{
    printer::PrinterReport online, offline;
    online.status.push_back(printer::StatusReading {
        escpos::StatusQuery::Printer, printer::Outcome::Answered, 0x12, {} });
    offline.status.push_back(
        printer::StatusReading { escpos::StatusQuery::Printer, printer::Outcome::Answered, 0x1A,
            *escpos::decodeStatus(escpos::StatusQuery::Printer, 0x1A) });
    std::vector<double> times;
    for (int i = 0; i < kQuestions; ++i) {
        const auto start = Clock::now();
        lights.showReport(i % 2 ? online : offline);
        times.push_back(microseconds(Clock::now() - start));
    }
    std::printf(
        "a changed state shown on the lights: %.2f us (median of %d)\n", median(times), kQuestions);
}

int openRawTerminal(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw {};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    return fd;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    diagnostics::StatusLightPanel lights;

    if (!std::filesystem::exists(VIRTUAL_PRINTER)) {
        std::printf("no figure: the virtual printer %s is not built\n", VIRTUAL_PRINTER);
        return 0;
    }
    const testsupport::TempDir receipts;
    testsupport::PrinterProcess printer({ "--tcp", "127.66.17.1:9100", "--pty", "ttyVPB", "--out",
        receipts.path(), "--pause", "0" });
    const std::string address = "127.66.17.1";
    const std::string ptyPath = printer.waitForLine("pty ");
    printer.waitForLine("ready");
    cport::TComPort port;
    port.setPort(ptyPath);
    port.setEvents({}); // the pane's questions need no monitor thread

    const Endpoint endpoints[] = {
        { "TCP", [&] { return std::make_unique<printer::NetworkLink>(address); },
            [&] { return testsupport::connectTo(address, 9100); } },
        { "pty",
            [&] {
                return std::unique_ptr<printer::PrinterLink>(new printer::SerialLink(port, false));
            },
            [&] { return openRawTerminal(ptyPath); } },
    };
    for (const auto& endpoint : endpoints)
        if (!measure(endpoint, lights)) {
            std::fprintf(stderr, "%s: a question got no answer\n", endpoint.name);
            return 1;
        }
    measureStateChange(lights);
    return 0;
}
