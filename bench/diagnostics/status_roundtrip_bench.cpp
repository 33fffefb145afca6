// Status round trip: from sending DLE EOT 1 to the decoded state shown on the pane's lights,
// over the two-way link held open (network: one connection through the network library;
// serial: the port object kept open), median of many questions. Printed beside a plain program's
// round trip on the same endpoint in the same run: write 10 04 01, poll and read the byte.
// Ratio goal: at most 1.3.
#include "diagnostics/LightStates.h"
#include "diagnostics/StatusLight.h"
#include "printer/NetworkLink.h"
#include "printer/PrinterQueries.h"
#include "printer/SerialLink.h"
#include "serial/CPort.h"
#include "support/TcpListener.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QApplication>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlocks = 10;
constexpr int kQuestionsPerBlock = 200;
constexpr std::chrono::milliseconds kLimit { 500 };
const char kQuery[] = { 0x10, 0x04, 0x01 };

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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
bool ourRoundTrip(printer::PrinterLink& link, diagnostics::LightPanel& lights)
{
    printer::PrinterReport report;
    report.status.push_back(printer::askStatus(link, escpos::StatusQuery::Printer, kLimit));
    lights.showStates(diagnostics::statusLights(report));
    return report.status[0].outcome == printer::Outcome::Answered;
}

struct Endpoint {
    const char* name;
    std::function<std::unique_ptr<printer::PrinterLink>()> openLink;
    std::function<int()> openPlain; // a descriptor on the same endpoint
};

// Alternating blocks of questions, ours and the plain program's, each timed one by one.
bool measure(const Endpoint& endpoint, diagnostics::LightPanel& lights)
{
    std::vector<double> ours, plain;
    for (int block = 0; block < kBlocks; ++block) {
        {
            const auto link = endpoint.openLink();
            for (int i = 0; i < kQuestionsPerBlock; ++i) {
                const auto start = Clock::now();
                if (!ourRoundTrip(*link, lights))
                    return false;
                ours.push_back(microseconds(Clock::now() - start));
            }
        }
        const int fd = endpoint.openPlain();
        for (int i = 0; i < kQuestionsPerBlock; ++i) {
            const auto start = Clock::now();
            if (!plainRoundTrip(fd))
                return false;
            plain.push_back(microseconds(Clock::now() - start));
        }
        ::close(fd);
    }
    const double oursUs = median(ours), plainUs = median(plain);
    std::printf("%s: query to lights %8.1f us, plain write/poll/read %8.1f us (median of %d each); "
                "ratio %.3f (goal <= 1.3)\n",
        endpoint.name, oursUs, plainUs, kBlocks * kQuestionsPerBlock, oursUs / plainUs);
    return true;
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
    diagnostics::LightPanel lights(QStringLiteral("Printer status"));

    // Stand-in printers played by this program; the figures are only as good as their replies
    // are quick, and both sides of each ratio meet the same one.
    std::printf("endpoints: printers played in-process on loopback TCP and a pseudo-terminal\n");
    const char* address = "127.66.17.1";
    auto tcpPrinter = testsupport::ScriptedPrinter::onTcp(address);
    tcpPrinter->answer(std::string(kQuery, 3), "\x12");
    auto ptyPrinter = testsupport::ScriptedPrinter::onPty();
    ptyPrinter->answer(std::string(kQuery, 3), "\x12");
    cport::TComPort port;
    port.setPort(ptyPrinter->slavePath());
    port.setEvents({}); // the pane's questions need no monitor thread

    const Endpoint endpoints[] = {
        { "TCP", [&] { return std::make_unique<printer::NetworkLink>(address); },
            [&] { return testsupport::connectTo(address, 9100); } },
        { "pty",
            [&] {
                return std::unique_ptr<printer::PrinterLink>(new printer::SerialLink(port, false));
            },
            [&] { return openRawTerminal(ptyPrinter->slavePath()); } },
    };
    for (const auto& endpoint : endpoints)
        if (!measure(endpoint, lights)) {
            std::fprintf(stderr, "%s: a question got no answer\n", endpoint.name);
            return 1;
        }
    return 0;
}
