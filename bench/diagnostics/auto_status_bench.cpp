// Automatic status back, from a change of state in quillet-virtual-printer (a line on its
// standard input) to the light changing in the printer pane, which watches the printer over
// loopback TCP with its listening thread; beside a plain program that reads the same 4 bytes on
// a connection of its own (write GS a 8, then poll and read), both timed from the same change in
// the same run. Median and maximum over 1 000 changes; goal: median at most 1.5 times the plain
// program's and at most 20 ms maximum.
#include "PrinterProcess.h"
#include "bench/support/Median.h"
#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "support/TempDir.h"
#include "tests/diagnostics/TestConnection.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kChanges = 1000;
const std::string kAddress = "127.66.18.1";

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
    double median;
    double maximum;
};

Figures figures(const std::vector<double>& times)
{
    return { benchsupport::median(times), *std::max_element(times.begin(), times.end()) };
}

// The plain program: one connection with GS a 8, each 4-byte message's arrival time in turn.
class PlainReader {
public:
    PlainReader()
        : m_client(kAddress, 9100)
    {
        m_client.send("\x1D\x61\x08");
        m_client.receive(4); // the message that comes at once
        m_thread = std::thread([this] {
            for (int i = 0; i < kChanges; ++i) {
                if (m_client.receive(4, 5000).size() != 4)
                    return;
                m_arrivals[static_cast<std::size_t>(i)] = Clock::now();
                m_count.store(i + 1);
            }
        });
    }
    ~PlainReader() { m_thread.join(); }
    // The arrival of message i, waiting for it up to 5 s.
    std::optional<Clock::time_point> arrival(int i)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (m_count.load() <= i && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        if (m_count.load() <= i)
            return std::nullopt;
        return m_arrivals[static_cast<std::size_t>(i)];
    }

private:
    testsupport::RawClient m_client;
    std::vector<Clock::time_point> m_arrivals = std::vector<Clock::time_point>(kChanges);
    std::atomic<int> m_count { 0 };
    std::thread m_thread;
};

// Waits, handling the window's events, until the light shows `lamp`; false after 5 s.
bool waitForLamp(diagnostics::StatusLight& light, diagnostics::Lamp lamp)
{
    QTimer guard;
    guard.start(5000);
    while (light.lamp() != lamp && guard.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return light.lamp() == lamp;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (!std::filesystem::exists(VIRTUAL_PRINTER)) {
        std::printf("no figure: the virtual printer %s is not built\n", VIRTUAL_PRINTER);
        return 0;
    }
    const testsupport::TempDir receipts;
    testsupport::PrinterProcess printer(
        { "--tcp", kAddress + ":9100", "--out", receipts.path(), "--pause", "0" });
    printer.waitForLine("ready");

    testsupport::TestConnection connection;
    connection.address = kAddress;
    diagnostics::PrinterPane pane(connection);
    for (const char* other : { "WatchDrawer", "WatchOnline", "WatchErrors" })
        pane.findChild<QCheckBox*>(other)->setChecked(false);
    pane.findChild<QAbstractButton*>("Watch")->click();
    auto& light = *pane.findChild<diagnostics::StatusLight*>("light-paper-end");
    if (!waitForLamp(light, diagnostics::Lamp::Green)) {
        std::fprintf(stderr, "the pane's watch did not start\n");
        return 1;
    }
    PlainReader plain;
    std::vector<double> ours, theirs;
    for (int i = 0; i < kChanges; ++i) {
        const bool paperEnd = i % 2 == 0;
        const auto changed = Clock::now();
        printer.writeLine(paperEnd ? "status paper-end" : "status ready");
        const bool shown
            = waitForLamp(light, paperEnd ? diagnostics::Lamp::Red : diagnostics::Lamp::Green);
        const auto lit = Clock::now();
        const auto arrived = plain.arrival(i);
        if (!shown || !arrived) {
            std::fprintf(stderr, "change %d: no message came\n", i);
            return 1;
        }
        ours.push_back(milliseconds(lit - changed));
        theirs.push_back(milliseconds(*arrived - changed));
        printer.waitForLine("status ");
    }
    const auto paneFigures = figures(ours), plainFigures = figures(theirs);
    std::printf("state change to light (ASB, TCP): pane median %.3f ms, max %.3f ms; plain read "
                "median %.3f ms, max %.3f ms (%d changes)\n",
        paneFigures.median, paneFigures.maximum, plainFigures.median, plainFigures.maximum,
        kChanges);
    std::printf("ratio of medians %.3f (goal <= 1.5), ratio of maxima %.3f; pane maximum %.3f ms "
                "(goal <= 20 ms)\n",
        paneFigures.median / plainFigures.median, paneFigures.maximum / plainFigures.maximum,
        paneFigures.maximum);
    return 0;
}
