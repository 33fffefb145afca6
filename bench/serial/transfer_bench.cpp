// Write throughput and the open-configure-close cycle of a TComPort on a pseudo-terminal,
// beside a plain write() loop and beside pyserial, all measured in this run. Each round
// measures the port and the plain loop back to back in both orders, and the figure is the
// median of the rounds' ratios.
//
//   build/dev/bench/serial/bench_serial_transfer            all figures
//   build/dev/bench/serial/bench_serial_transfer profile    writeText only, for perf record
#include "BenchSupport.h"
#include "serial/CPort.h"

#include <cstdio>

using namespace benchsupport;

namespace {

constexpr std::size_t totalBytes = 4 * 1024 * 1024;
constexpr int rounds = 81;
constexpr int cycles = 300;

std::string payload()
{
    std::string bytes(totalBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

// Seconds to write every byte in `chunk`-sized pieces with a plain blocking write() loop.
double plainWrite(const std::string& bytes, std::size_t chunk)
{
    DrainedPty pty;
    const platform::FileDescriptor device(::open(pty.path().c_str(), O_RDWR | O_NOCTTY));
    const int fd = device.get();
    const auto start = Clock::now();
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t piece = std::min(chunk, bytes.size() - done);
        std::size_t sent = 0;
        while (sent < piece) {
            const ssize_t n = ::write(fd, bytes.data() + done + sent, piece - sent);
            if (n > 0)
                sent += std::size_t(n);
        }
        done += piece;
    }
    pty.awaitReceived((long long)bytes.size());
    return seconds(Clock::now() - start);
}

double portWrite(const std::string& bytes, std::size_t chunk)
{
    DrainedPty pty;
    cport::TComPort port;
    port.setPort(pty.path());
    port.setBaudRate(cport::br115200);
    port.openPort();
    std::vector<std::string> pieces;
    for (std::size_t done = 0; done < bytes.size(); done += chunk)
        pieces.push_back(bytes.substr(done, std::min(chunk, bytes.size() - done)));
    const auto start = Clock::now();
    for (const std::string& piece : pieces)
        port.writeText(piece);
    pty.awaitReceived((long long)bytes.size());
    const double took = seconds(Clock::now() - start);
    port.closePort();
    return took;
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

double portCycle(const std::string& path)
{
    cport::TComPort port;
    port.setPort(path);
    port.setEvents({});
    const auto start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        port.openPort();
        port.closePort();
    }
    return seconds(Clock::now() - start) / cycles;
}

double pyserialCycle(const std::string& path)
{
    const std::string program = "import serial, time\n"
                                "t = time.perf_counter()\n"
                                "for i in range("
        + std::to_string(cycles)
        + "):\n"
          "    s = serial.Serial(\""
        + path
        + "\", 9600)\n"
          "    s.close()\n"
          "print((time.perf_counter() - t) / "
        + std::to_string(cycles) + ")\n";
    const std::string out = runPython(program);
    return out.empty() ? -1 : std::stod(out);
}

// Whether the system's interpreter can import pyserial; without it there is no reference to
// compare with, and the figures that need it are left out.
bool pyserialAvailable()
{
    return runPython("import serial\nprint(1)\n") == "1\n";
}

const char* const pyserialMissing
    = "pyserial reference missing (install python3-serial: bash scripts/install-deps.sh bench)";

// Ratios are taken from measurements made back to back: each round measures the plain loop and
// writeText in one order and then in the other, and its ratio is that of the two sums, so the
// load of a shared machine and any advantage of going first cancel out. The figure is the
// median of the rounds' ratios.
void throughput(const std::string& bytes, std::size_t chunk, bool withPyserial)
{
    std::vector<double> plain, port, py, vsPlain, vsPy;
    for (int i = 0; i < rounds; ++i) {
        const double plainFirst = plainWrite(bytes, chunk);
        const double portSecond = portWrite(bytes, chunk);
        const double portFirst = portWrite(bytes, chunk);
        const double plainSecond = plainWrite(bytes, chunk);
        plain.push_back((plainFirst + plainSecond) / 2);
        port.push_back((portFirst + portSecond) / 2);
        vsPlain.push_back(plain.back() / port.back());
        // pyserial is slow to start: every fourth round is enough for its figure.
        if (withPyserial && i % 4 == 0) {
            py.push_back(pyserialWrite(chunk));
            vsPy.push_back(py.back() / port.back());
        }
    }
    const double mib = double(bytes.size()) / (1024 * 1024);
    std::printf("4 MiB in %zu-byte writes: plain write() %.1f MiB/s, writeText %.1f MiB/s "
                "(medians of %d rounds, each both ways round)\n",
        chunk, mib / median(plain), mib / median(port), rounds);
    std::printf("  writeText / plain loop = %.3f (goal >= 0.95)\n", median(vsPlain));
    if (!withPyserial)
        std::printf("  %s\n", pyserialMissing);
    else
        std::printf("  pyserial %.1f MiB/s; writeText / pyserial = %.2f (goal > 1)\n",
            mib / median(py), median(vsPy));
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
    const bool withPyserial = pyserialAvailable();
    throughput(bytes, totalBytes, withPyserial);
    throughput(bytes, 4096, withPyserial);
    if (!withPyserial) {
        std::printf("open-configure-close: %s\n", pyserialMissing);
        return 0;
    }

    DrainedPty pty;
    std::vector<double> port, py, ratio;
    for (int i = 0; i < rounds; i += 2) {
        port.push_back(portCycle(pty.path()));
        py.push_back(pyserialCycle(pty.path()));
        ratio.push_back(py.back() / port.back());
    }
    std::printf("open-configure-close: TComPort %.1f us, pyserial %.1f us; pyserial / TComPort = "
                "%.2f (goal > 1)\n",
        median(port) * 1e6, median(py) * 1e6, median(ratio));
    return 0;
}
