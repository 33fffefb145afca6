// Many open/write/close cycles while bytes keep arriving, under every delivery method: no
// deadlock, no lost write, and (under the tsan preset) no data race.
#include "MonitorSupport.h"
#include "PtyPair.h"
#include "Watchdog.h"
#include "serial/CPort.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace cport;
using namespace std::chrono_literals;

TEST(Stress, OpenWriteCloseCyclesWithTrafficArriving)
{
    serialtest::Watchdog watchdog("500 cycles", std::chrono::seconds(240));
    serialtest::PtyPair pty;
    std::atomic<bool> stop { false };
    std::atomic<long long> echoed { 0 };
    // The far end keeps sending and drains whatever the port writes.
    std::thread far([&] {
        char buffer[4096];
        const std::string chatter = "status\r\n";
        while (!stop) {
            [[maybe_unused]] const ssize_t sent
                = ::write(pty.master(), chatter.data(), chatter.size());
            pollfd p { pty.master(), POLLIN, 0 };
            if (::poll(&p, 1, 1) > 0) {
                const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
                if (n > 0)
                    echoed += n;
            }
        }
    });

    TComPort port;
    port.setPort(pty.slavePath());
    std::atomic<long long> delivered { 0 };
    port.OnRxChar = [&](TCustomComPort& sender, std::int32_t count) {
        std::string bytes(std::size_t(count), '\0');
        delivered += sender.readBytes(bytes.data(), count);
    };
    port.OnRxBuf = [&](TCustomComPort&, const void*, std::int32_t count) { delivered += count; };
    const std::string receipt = "\x1B@Stress test line\r\n\x1B@";
    long long written = 0;
    for (int cycle = 0; cycle < 500; ++cycle) {
        port.setSyncMethod(TSyncMethod(cycle % 3));
        port.setReportRxCount(cycle % 5 != 0);
        port.openPort();
        written += port.writeText(receipt);
        if (cycle % 7 == 0)
            cport::waitForSyncCalls(1ms);
        port.closePort();
    }
    EXPECT_EQ(written, 500LL * std::int64_t(receipt.size()));
    EXPECT_TRUE(serialtest::deliverUntil([&] { return echoed.load() >= written; }))
        << echoed.load() << " of " << written;
    stop = true;
    far.join();
    EXPECT_GT(delivered.load(), 0);
}
