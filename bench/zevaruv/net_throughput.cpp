// Network throughput: 4 MiB through KWNetSend beside a plain send() loop on loopback, both
// into the same kind of draining listener, in the same run. Both count a job as done once the
// listener has acknowledged every byte (the send queue, SIOCOUTQ, is empty), as KWNetSend does.
// Prints medians and their ratio.
#include "bench/support/Median.h"
#include "platform/FileDescriptor.h"
#include "support/TcpListener.h"
#include "zevaruv/ZEVarUV.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using benchsupport::median;

using Clock = std::chrono::steady_clock;
const std::string payload(4 << 20, 'Q');
constexpr int rounds = 41;

double plainSendSeconds(const char* address)
{
    const auto start = Clock::now();
    platform::FileDescriptor socket(testsupport::connectTo(address, 9100));
    if (!socket.valid())
        std::perror("connect");
    std::size_t sent = 0;
    while (sent < payload.size()) {
        const ssize_t n
            = ::send(socket.get(), payload.data() + sent, payload.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    int unacknowledged = 1;
    while (::ioctl(socket.get(), SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0)
        std::this_thread::yield();
    socket.reset();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double libraryPrintSeconds(const char* address)
{
    const auto start = Clock::now();
    if (KWNetOpen(address, 5, 7) != 1)
        std::fprintf(stderr, "KWNetOpen failed\n");
    KWNetSend(reinterpret_cast<const std::uint8_t*>(payload.data()),
        static_cast<std::int32_t>(payload.size()));
    KWNetClose();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main()
{
    testsupport::TcpListener printer;
    const char* address = printer.address().c_str();
    std::vector<double> plain, library, ratios;
    for (int i = 0; i < rounds; ++i) {
        // Alternate which goes first, so neither always meets a warmer listener.
        const bool plainFirst = i % 2 == 0;
        const double first = plainFirst ? plainSendSeconds(address) : libraryPrintSeconds(address);
        const double second = plainFirst ? libraryPrintSeconds(address) : plainSendSeconds(address);
        plain.push_back(plainFirst ? first : second);
        library.push_back(plainFirst ? second : first);
        ratios.push_back(plain.back() / library.back());
    }
    printer.waitForConnections(2 * rounds);
    const double mib = payload.size() / 1048576.0;
    std::printf("plain send() loop : %8.1f MiB/s (median of %d)\n", mib / median(plain), rounds);
    std::printf("KWNetSend         : %8.1f MiB/s (median of %d)\n", mib / median(library), rounds);
    std::printf("throughput ratio KWNetSend / plain = %.2f (goal >= 0.9)\n",
        median(plain) / median(library));
}
