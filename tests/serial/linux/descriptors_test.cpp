// Every descriptor the device layer takes is given back: the device's own, the monitor's stop
// and wake-ups, each transfer thread's wake-up, and the ones a refused open took on its way. Counted in /proc/self/fd around real pseudo-terminal sessions.
#include "PtyPair.h"
#include "serial/CPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

using namespace cport;
using serialtest::PtyPair;

std::size_t openDescriptors()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return std::size_t(std::distance(begin(entries), end(entries)));
}

void prepare(TComPort& port, const PtyPair& pty, TComEvents events)
{
    port.setEvents(events);
    port.setPort(pty.slavePath());
    port.Timeouts().setReadInterval(0);
    port.Timeouts().setReadTotalMultiplier(0);
    port.Timeouts().setReadTotalConstant(20);
}

TEST(DeviceDescriptors, SessionsWithWritesReadsAndAMonitorLeaveNoneBehind)
{
    const PtyPair pty;
    const std::size_t before = openDescriptors();
    for (int session = 0; session < 10; ++session) {
        TComPort port;
        prepare(port, pty, session % 2 == 0 ? TComEvents { evRxChar, evTxEmpty } : TComEvents {});
        port.openPort();
        EXPECT_EQ(port.writeText("session"), 7);
        EXPECT_EQ(pty.receive(7), "session");
        pty.send("ab");
        char reply[2];
        EXPECT_EQ(port.readBytes(reply, 2), 2);
        port.closePort();
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(DeviceDescriptors, ATransferThreadsWakeUpGoesWithTheThread)
{
    const PtyPair pty;
    TComPort port;
    prepare(port, pty, {});
    port.openPort();
    const std::size_t open = openDescriptors();
    for (int round = 0; round < 5; ++round) {
        std::thread reader([&port] {
            char byte;
            port.readBytes(&byte, 1); // waits out its time limit on the thread's own wake-up
        });
        reader.join();
    }
    EXPECT_EQ(openDescriptors(), open);
    port.closePort();
}

TEST(DeviceDescriptors, RefusedOpensLeaveNoneBehind)
{
    const PtyPair pty;
    TComPort holder;
    prepare(holder, pty, {});
    holder.openPort();
    const std::size_t before = openDescriptors();
    for (int attempt = 0; attempt < 5; ++attempt) {
        TComPort second; // the line is taken: refused after the device was looked at
        prepare(second, pty, { evRxChar });
        EXPECT_THROW(second.openPort(), EComPort);
        TComPort missing; // nothing at the path
        prepare(missing, pty, {});
        missing.setPort("/nonexistent/ttyQ0");
        EXPECT_THROW(missing.openPort(), EComPort);
    }
    EXPECT_EQ(openDescriptors(), before);
    holder.closePort();
}

} // namespace
