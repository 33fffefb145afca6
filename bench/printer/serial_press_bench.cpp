// The serial transport's cost of its no-progress rule: a 1 MiB job through sendSerial, which
// writes it in pieces of about 50 ms of line time each under a short limit of its own, beside
// the same job in one writeText call on the same kind of port, both to a pseudo-terminal whose
// far end drains everything, in the same run. Prints medians and their ratio.
//
//   build/dev/bench/printer/bench_serial_press
#include "../serial/BenchSupport.h"
#include "platform/MessageBoxes.h"
#include "printer/SerialOutput.h"
#include "serial/CPort.h"

#include <cstdio>

using namespace benchsupport;

namespace {

constexpr std::size_t jobBytes = 1 << 20;
constexpr int rounds = 11;

std::string job()
{
    std::string bytes(jobBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

// A port as the window sets it up: 19200 baud, no event monitoring.
void setUp(cport::TComPort& port, const std::string& path)
{
    port.setPort(path);
    port.setBaudRate(cport::br19200);
    port.setEvents({});
}

// Seconds from the press to the far end having every byte.
double pressSeconds(const std::string& bytes)
{
    DrainedPty pty;
    cport::TComPort port;
    setUp(port, pty.path());
    const auto start = Clock::now();
    printer::sendSerial(port, bytes);
    pty.awaitReceived((long long)bytes.size());
    return seconds(Clock::now() - start);
}

// The same with one open, one writeText and one close.
double wholeWriteSeconds(const std::string& bytes)
{
    DrainedPty pty;
    cport::TComPort port;
    setUp(port, pty.path());
    const auto start = Clock::now();
    port.openPort();
    port.writeText(bytes);
    port.closePort();
    pty.awaitReceived((long long)bytes.size());
    return seconds(Clock::now() - start);
}

} // namespace

int main()
{
    const platform::RecordingMessageService boxes;
    const std::string bytes = job();
    std::vector<double> press, whole, ratios;
    for (int i = 0; i < rounds; ++i) {
        press.push_back(pressSeconds(bytes));
        whole.push_back(wholeWriteSeconds(bytes));
        ratios.push_back(press.back() / whole.back());
    }
    if (!boxes.boxes().empty()) {
        std::fprintf(stderr, "a press failed: %s\n", boxes.boxes().front().text.c_str());
        return 1;
    }
    const double mib = double(jobBytes) / (1024 * 1024);
    std::printf("1 MiB serial press (pieces under the no-progress rule): %7.1f MiB/s\n",
        mib / median(press));
    std::printf("1 MiB in one writeText:                                 %7.1f MiB/s\n",
        mib / median(whole));
    std::printf("ratio press / one writeText = %.2f (median of %d rounds; goal <= 1.5)\n",
        median(ratios), rounds);
    return 0;
}
