// The writer leaves the host program's signals alone: no handler is installed, no signal is
// unblocked or sent, a host that blocks every signal still gets its writes ended by their time
// limit and by an abort, a host that takes a signal with sigwait() still gets it, and the port
// holds one descriptor of its device however it writes. Each write here must wait: the far end
// of the pseudo-terminal reads nothing, so the driver fills.
#include "PtyPair.h"
#include "Watchdog.h"
#include "serial/CPort.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <csignal>
#include <filesystem>
#include <pthread.h>
#include <thread>
#include <unistd.h>

using namespace cport;
using serialtest::PtyPair;
using serialtest::Watchdog;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

// More than a pseudo-terminal holds unread.
const std::string bigJob(1 << 20, 'x');

void prepare(TComPort& port, const PtyPair& pty, std::int32_t writeLimitMs)
{
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(writeLimitMs);
}

using Handlers = std::array<void (*)(int), 65>;

Handlers signalHandlers()
{
    Handlers handlers {};
    for (int signal = 1; signal <= SIGRTMAX && signal < int(handlers.size()); ++signal) {
        struct sigaction action { };
        if (::sigaction(signal, nullptr, &action) == 0)
            handlers[std::size_t(signal)] = action.sa_handler;
    }
    return handlers;
}

// Descriptors of this process open on the file at path.
int descriptorsOn(const std::string& path)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path)
            ++count;
    }
    return count;
}

} // namespace

TEST(WriterSignals, AWriteThatWaitsInstallsNoHandlerAndUnblocksNoSignal)
{
    PtyPair pty;
    TComPort port;
    prepare(port, pty, 100);
    port.openPort();
    const Handlers before = signalHandlers();
    sigset_t maskBefore, maskAfter;
    ::pthread_sigmask(SIG_BLOCK, nullptr, &maskBefore);
    const std::int32_t written = port.writeText(bigJob);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, std::int32_t(bigJob.size()));
    EXPECT_TRUE(signalHandlers() == before) << "a signal handler was installed";
    struct sigaction action { };
    ASSERT_EQ(::sigaction(SIGRTMAX - 1, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    ::pthread_sigmask(SIG_BLOCK, nullptr, &maskAfter);
    for (int signal = 1; signal <= SIGRTMAX; ++signal)
        EXPECT_EQ(sigismember(&maskBefore, signal), sigismember(&maskAfter, signal)) << signal;
    port.closePort();
}

TEST(WriterSignals, AHostThatBlocksEverySignalStillHasItsWritesEndedOnTime)
{
    PtyPair pty;
    std::int32_t written = -1;
    Clock::duration took {};
    std::thread host([&] {
        TComPort port;
        prepare(port, pty, 300);
        port.openPort();
        port.writeText(bigJob); // a first write that waits, before the signals are blocked
        pty.receiveAvailable(milliseconds(20));
        sigset_t all;
        sigfillset(&all);
        ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
        const auto start = Clock::now();
        written = port.writeText(bigJob);
        took = Clock::now() - start;
        port.closePort();
    });
    {
        const Watchdog watchdog("a 300 ms write with every signal blocked", std::chrono::seconds(20));
        // The far end drains what the first write left, then reads nothing more.
        host.join();
    }
    EXPECT_GE(written, 0);
    EXPECT_GE(took, milliseconds(290));
    EXPECT_LT(took, milliseconds(5000));
}

TEST(WriterSignals, AHostThatBlocksEverySignalCanStillAbortAWrite)
{
    PtyPair pty;
    TComPort port;
    prepare(port, pty, 0); // no time limit
    port.openPort();
    std::atomic<bool> started { false };
    std::thread host([&] {
        sigset_t all;
        sigfillset(&all);
        ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
        started = true;
        port.writeText(bigJob);
    });
    while (!started)
        std::this_thread::sleep_for(milliseconds(1));
    std::this_thread::sleep_for(milliseconds(100));
    const Watchdog watchdog("aborting a write with every signal blocked", std::chrono::seconds(20));
    port.abortTransfers();
    host.join();
    port.closePort();
}

TEST(WriterSignals, AHostThatTakesTheSignalWithSigwaitStillGetsIt)
{
    // The signal the writer of earlier versions took for its own.
    const int signal = SIGRTMAX - 1;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &set, nullptr), 0);
    PtyPair pty;
    for (int round = 0; round < 2; ++round) {
        // Ports and their threads come and go after the host has blocked the signal.
        TComPort port;
        prepare(port, pty, 100);
        port.openPort();
        port.writeText(bigJob);
        port.closePort();
        pty.receiveAvailable(milliseconds(20));
        ASSERT_EQ(::kill(::getpid(), signal), 0);
        const timespec patience { 2, 0 };
        EXPECT_EQ(::sigtimedwait(&set, nullptr, &patience), signal) << "round " << round;
    }
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

TEST(WriterSignals, AnOpenPortHoldsOneDescriptorOfItsDeviceHoweverItWrites)
{
    PtyPair pty; // holds one of its own
    const int spare = descriptorsOn(pty.slavePath());
    TComPort port;
    prepare(port, pty, 100);
    port.openPort();
    EXPECT_EQ(descriptorsOn(pty.slavePath()), spare + 1);
    port.writeText(bigJob);
    TComTransfer record;
    port.beginWrite(bigJob.data(), std::int32_t(bigJob.size()), &record);
    port.awaitTransfer(&record);
    EXPECT_EQ(descriptorsOn(pty.slavePath()), spare + 1);
    port.closePort();
    EXPECT_EQ(descriptorsOn(pty.slavePath()), spare);
}
