// The event monitor's cost at rest and its receive latency, beside references measured in the
// same run: the process idling without a port, and a plain poll()+read() loop on a pty.
//
//   build-serial/bench/serial/bench_serial_monitor
#include "BenchSupport.h"
#include "serial/CPort.h"
#include "serial/ComApplication.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sys/resource.h>

using namespace benchsupport;

namespace {

constexpr auto idlePeriod = std::chrono::seconds(5);
constexpr int samples = 1000;

double processCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Share of one core the process used while the main thread served deliveries for the period.
double idleCpuShare()
{
    const double before = processCpuSeconds();
    const auto until = Clock::now() + idlePeriod;
    while (Clock::now() < until)
        cport::waitForSyncCalls(std::chrono::milliseconds(500));
    return (processCpuSeconds() - before) / seconds(idlePeriod);
}

// Microseconds from a byte written at the master to OnRxChar starting on the owning thread.
std::vector<double> portLatencies()
{
    const PtyLine line;
    cport::TComPort port;
    port.setPort(line.path);
    Clock::time_point arrived;
    bool seen = false;
    port.OnRxChar = [&](cport::TCustomComPort& sender, std::int32_t count) {
        arrived = Clock::now();
        seen = true;
        std::string bytes(std::size_t(count), '\0');
        sender.readBytes(bytes.data(), count);
    };
    port.openPort();
    std::vector<double> out;
    for (int i = 0; i < samples; ++i) {
        seen = false;
        const auto sent = Clock::now();
        [[maybe_unused]] const ssize_t n = ::write(line.master.get(), "x", 1);
        while (!seen)
            cport::waitForSyncCalls(std::chrono::milliseconds(1000));
        out.push_back(seconds(arrived - sent) * 1e6);
    }
    port.closePort();
    return out;
}

// The same with a thread of its own blocked in poll() and read() on the slave.
std::vector<double> plainLatencies()
{
    const PtyLine line;
    const platform::FileDescriptor device(
        ::open(line.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    const int fd = device.get();
    std::mutex mutex;
    std::condition_variable done;
    Clock::time_point arrived;
    int got = 0;
    std::atomic<bool> stop { false };
    std::thread reader([&] {
        char byte;
        while (!stop) {
            pollfd p { fd, POLLIN, 0 };
            if (::poll(&p, 1, 100) <= 0 || ::read(fd, &byte, 1) != 1)
                continue;
            const auto now = Clock::now();
            {
                std::lock_guard lock(mutex);
                arrived = now;
                ++got;
            }
            done.notify_one();
        }
    });
    std::vector<double> out;
    for (int i = 0; i < samples; ++i) {
        const auto sent = Clock::now();
        [[maybe_unused]] const ssize_t n = ::write(line.master.get(), "x", 1);
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return got == i + 1; });
        out.push_back(seconds(arrived - sent) * 1e6);
    }
    stop = true;
    reader.join();
    return out;
}

} // namespace

int main()
{
    const double baseline = idleCpuShare();
    const PtyLine line;
    cport::TComPort port;
    port.setPort(line.path);
    port.openPort(); // all ten events, delivered to this thread
    const double idle = idleCpuShare();
    port.closePort();
    std::printf("idle, 5 s: process without a port %.3f %% of a core, with one open port watching "
                "all ten events %.3f %% (goal < 0.5 %%)\n",
        baseline * 100, idle * 100);

    const double plain = median(plainLatencies());
    const double ours = median(portLatencies());
    std::printf("receive latency, median of %d bytes: poll()+read() %.1f us, OnRxChar on the "
                "owning thread %.1f us; ratio %.2f (goal <= 2)\n",
        samples, plain, ours, ours / plain);
    return 0;
}
