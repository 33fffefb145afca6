// Write throughput and the open-configure-close cycle of a TComPort on a pseudo-terminal, beside
// references measured in the same run with the same reader (a thread that drains the far end):
//
// - writeText against the fastest plain C loop the same writer design allows: a non-blocking
//   descriptor, write() of the whole remaining buffer per call and poll() for room when the
//   driver is full; a plain blocking write() loop is shown beside it for scale. Wall
//   throughput and CPU per MiB (user + system time of the whole process, the reader
//   included), for 4 MiB requests and for 4 KiB requests (4 MiB in all); pyserial's wall
//   throughput for the same requests.
// - Opening, configuring and closing the port as the window does (its ten events, so a monitor
//   thread starts and stops each time, and the lock file in the system's lock folder), against
//   pyserial's open and close of the same line.
//
// Each round measures the reference and writeText back to back in both orders; a figure is the
// median over the rounds of the round's ratio, so the load of a shared machine cancels out.
//
//   build/dev/bench/serial/bench_serial_transfer [rounds]         all figures (default 21 rounds)
//   build/dev/bench/serial/bench_serial_transfer <rounds> cycle   open-configure-close only
//   build/dev/bench/serial/bench_serial_transfer profile    writeText only, for perf record
#include "BenchSupport.h"
#include "serial/CPort.h"

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace benchsupport;

namespace {

constexpr std::size_t totalBytes = 4 * 1024 * 1024;
constexpr int cycles = 300;

std::string payload()
{
    std::string bytes(totalBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

double processCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and CPU seconds of one measured run.
struct Cost {
    double wall = 0;
    double cpu = 0;
    Cost operator+(const Cost& other) const { return { wall + other.wall, cpu + other.cpu }; }
};

// Times `write` (which gets the descriptor or port set up beforehand) until the far end has
// every byte.
template <typename Write> Cost timed(DrainedPty& pty, const Write& write, std::size_t bytes)
{
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    write();
    pty.awaitReceived((long long)bytes);
    return { seconds(Clock::now() - start), processCpuSeconds() - cpuBefore };
}

// The plain C loop: whole remaining buffer per write(), poll() for room when it is full.
Cost plainPollWrite(const std::string& bytes, std::size_t chunk)
{
    DrainedPty pty;
    const platform::FileDescriptor device(
        ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    const int fd = device.get();
    return timed(
        pty,
        [&] {
            for (std::size_t done = 0; done < bytes.size();) {
                const std::size_t piece = std::min(chunk, bytes.size() - done);
                for (std::size_t sent = 0; sent < piece;) {
                    const ssize_t n = ::write(fd, bytes.data() + done + sent, piece - sent);
                    if (n > 0)
                        sent += std::size_t(n);
                    if (sent < piece) {
                        pollfd room { fd, POLLOUT, 0 };
                        ::poll(&room, 1, -1);
                    }
                }
                done += piece;
            }
        },
        bytes.size());
}

// A plain blocking write() loop, for scale.
Cost plainBlockingWrite(const std::string& bytes, std::size_t chunk)
{
    DrainedPty pty;
    const platform::FileDescriptor device(::open(pty.path().c_str(), O_RDWR | O_NOCTTY));
    const int fd = device.get();
    return timed(
        pty,
        [&] {
            for (std::size_t done = 0; done < bytes.size();) {
                const std::size_t piece = std::min(chunk, bytes.size() - done);
                for (std::size_t sent = 0; sent < piece;) {
                    const ssize_t n = ::write(fd, bytes.data() + done + sent, piece - sent);
                    if (n > 0)
                        sent += std::size_t(n);
                }
                done += piece;
            }
        },
        bytes.size());
}

Cost portWrite(const std::string& bytes, std::size_t chunk)
{
    DrainedPty pty;
    cport::TComPort port;
    port.setPort(pty.path());
    port.setBaudRate(cport::br115200);
    port.setEvents({});
    port.openPort();
    std::vector<std::string> pieces;
    for (std::size_t done = 0; done < bytes.size(); done += chunk)
        pieces.push_back(bytes.substr(done, std::min(chunk, bytes.size() - done)));
    const Cost cost = timed(
        pty,
        [&] {
            for (const std::string& piece : pieces)
                port.writeText(piece);
        },
        bytes.size());
    port.closePort();
    return cost;
}

double pyserialWrite(std::size_t chunk)
{
    DrainedPty pty;
    const std::string program = "import serial, time\n"
                                "data = bytes(i * 31 % 251 for i in range("
        + std::to_string(totalBytes)
        + "))\n"
          "s = serial.Serial(\""
        + pty.path()
        + "\", 115200)\n"
          "t = time.perf_counter()\n"
          "for i in range(0, len(data), "
        + std::to_string(chunk)
        + "):\n"
          "    s.write(data[i:i + "
        + std::to_string(chunk)
        + "])\n"
          "s.flush()\n"
          "print(time.perf_counter() - t)\n"
          "s.close()\n";
    const std::string out = runPython(program);
    return out.empty() ? -1 : std::stod(out);
}

// Wall and CPU seconds per open-configure-close cycle of a port set up as the window sets it up
// (or, for comparison, without events: no monitor thread).
Cost portCycle(const std::string& path, bool events = true)
{
    cport::TComPort port;
    port.setPort(path);
    if (events)
        port.setEvents({ cport::evRxChar, cport::evTxEmpty, cport::evRxFlag, cport::evRing,
            cport::evBreak, cport::evCTS, cport::evDSR, cport::evError, cport::evRLSD,
            cport::evRx80Full });
    else
        port.setEvents({});
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        port.openPort();
        port.closePort();
    }
    return { seconds(Clock::now() - start) / cycles, (processCpuSeconds() - cpuBefore) / cycles };
}

// The same for pyserial, timed inside the interpreter.
Cost pyserialCycle(const std::string& path)
{
    const std::string program = "import serial, time\n"
                                "t = time.perf_counter()\n"
                                "c = time.process_time()\n"
                                "for i in range("
        + std::to_string(cycles)
        + "):\n"
          "    s = serial.Serial(\""
        + path
        + "\", 9600)\n"
          "    s.close()\n"
          "print((time.perf_counter() - t) / "
        + std::to_string(cycles) + ", (time.process_time() - c) / " + std::to_string(cycles)
        + ")\n";
    const std::string out = runPython(program);
    Cost cost { -1, -1 };
    std::sscanf(out.c_str(), "%lf %lf", &cost.wall, &cost.cpu);
    return cost;
}

// Whether the system's interpreter can import pyserial; without it there is no reference to
// compare with, and the figures that need it are left out.
bool pyserialAvailable()
{
    return runPython("import serial\nprint(1)\n") == "1\n";
}

const char* const pyserialMissing
    = "pyserial reference missing (install python3-serial: bash scripts/install-deps.sh bench)";

void throughput(const std::string& bytes, std::size_t chunk, int rounds, bool withPyserial)
{
    std::vector<double> pollWall, pollCpu, blockingWall, portWall, portCpu, py;
    std::vector<double> wallRatio, cpuRatio, blockingRatio, pyRatio;
    for (int i = 0; i < rounds; ++i) {
        const Cost plainFirst = plainPollWrite(bytes, chunk);
        const Cost portSecond = portWrite(bytes, chunk);
        const Cost portFirst = portWrite(bytes, chunk);
        const Cost plainSecond = plainPollWrite(bytes, chunk);
        const Cost plain = plainFirst + plainSecond;
        const Cost port = portFirst + portSecond;
        pollWall.push_back(plain.wall / 2);
        pollCpu.push_back(plain.cpu / 2);
        portWall.push_back(port.wall / 2);
        portCpu.push_back(port.cpu / 2);
        wallRatio.push_back(plain.wall / port.wall);
        cpuRatio.push_back(port.cpu / plain.cpu);
        // Every fourth round: the blocking loop and pyserial, each against this round's port.
        if (i % 4 == 0) {
            blockingWall.push_back(plainBlockingWrite(bytes, chunk).wall);
            blockingRatio.push_back(blockingWall.back() / portWall.back());
            if (withPyserial) {
                py.push_back(pyserialWrite(chunk));
                pyRatio.push_back(py.back() / portWall.back());
            }
        }
    }
    const double mib = double(bytes.size()) / (1024 * 1024);
    std::printf("4 MiB in %zu-byte requests (medians of %d rounds, each both ways round):\n", chunk,
        rounds);
    std::printf("  poll()+write() loop %7.1f MiB/s %6.1f ms CPU/MiB | writeText %7.1f MiB/s %6.1f "
                "ms CPU/MiB | blocking write() loop %7.1f MiB/s\n",
        mib / median(pollWall), 1000 * median(pollCpu) / mib, mib / median(portWall),
        1000 * median(portCpu) / mib, mib / median(blockingWall));
    std::printf("  writeText / poll loop: wall throughput %.3f (goal >= 0.85), CPU per MiB %.3f "
                "(goal <= 1.2); writeText / blocking loop %.3f\n",
        median(wallRatio), median(cpuRatio), median(blockingRatio));
    if (!withPyserial)
        std::printf("  %s\n", pyserialMissing);
    else
        std::printf("  pyserial %7.1f MiB/s; writeText / pyserial = %.2f (goal >= 1)\n",
            mib / median(py), median(pyRatio));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string bytes = payload();
    if (argc > 1 && std::string(argv[1]) == "profile") {
        for (int i = 0; i < 40; ++i) {
            portWrite(bytes, totalBytes);
            portWrite(bytes, 4096);
        }
        return 0;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const bool cycleOnly = argc > 2 && std::string(argv[2]) == "cycle";
    const bool withPyserial = pyserialAvailable();
    if (!cycleOnly) {
        throughput(bytes, totalBytes, rounds, withPyserial);
        throughput(bytes, 4096, rounds, withPyserial);
    }
    if (!withPyserial) {
        std::printf("open-configure-close: %s\n", pyserialMissing);
        return 0;
    }
    DrainedPty pty;
    std::vector<double> portWall, portCpu, bareWall, bareCpu, pyWall, pyCpu, wallRatio, cpuRatio;
    for (int i = 0; i < rounds; i += 2) {
        const Cost port = portCycle(pty.path());
        const Cost bare = portCycle(pty.path(), false);
        const Cost py = pyserialCycle(pty.path());
        portWall.push_back(port.wall);
        portCpu.push_back(port.cpu);
        bareWall.push_back(bare.wall);
        bareCpu.push_back(bare.cpu);
        pyWall.push_back(py.wall);
        pyCpu.push_back(py.cpu);
        wallRatio.push_back(port.wall / py.wall);
        cpuRatio.push_back(port.cpu / py.cpu);
    }
    std::printf("open-configure-close as the window does it (ten events, lock file): TComPort "
                "%.1f us wall, %.1f us CPU; pyserial %.1f us wall, %.1f us CPU\n",
        median(portWall) * 1e6, median(portCpu) * 1e6, median(pyWall) * 1e6,
        median(pyCpu) * 1e6);
    std::printf("  TComPort / pyserial: wall %.2f, CPU %.2f (goal <= 2); without events (no "
                "monitor thread) %.1f us wall, %.1f us CPU\n",
        median(wallRatio), median(cpuRatio), median(bareWall) * 1e6, median(bareCpu) * 1e6);
    return 0;
}
