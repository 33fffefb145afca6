// What opening a port may touch and what keeps others out: only terminals are ever opened, the
// lock files of Linux serial programs are honoured both ways, a killed holder locks nobody
// out, and a framing the line cannot carry is refused.
#include "PtyPair.h"
#include "platform/FileDescriptor.h"
#include "serial/CPort.h"
#include "support/ChildProcess.h"
#include "support/OpenCounter.h"
#include "support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

using namespace cport;
using serialtest::PtyPair;

namespace {

// The EComPort code and system error of openPort, or {0, 0} when it opened.
std::pair<int, int> openFailure(TCustomComPort& port)
{
    try {
        port.openPort();
    } catch (const EComPort& e) {
        return { e.errorCode(), e.systemError() };
    }
    return { 0, 0 };
}

std::string lockText(pid_t pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", int(pid));
    return text;
}

// A process id that is certainly not running: a child that has ended and been waited for.
pid_t endedProcess()
{
    const pid_t child = testsupport::inChild([] { return true; });
    testsupport::succeeded(child);
    return child;
}

// A system root whose COM1 is a pseudo-terminal and which has a lock folder.
struct LockedRoot : ::testing::Test {
    testsupport::TestSysRoot root;
    PtyPair pty;
    TComPort port;
    std::string lockFile;

    LockedRoot()
    {
        std::filesystem::create_directories(root.path() + "/run/lock");
        std::filesystem::create_directories(root.path() + "/dev");
        std::filesystem::create_symlink(pty.slavePath(), root.path() + "/dev/ttyS0");
        lockFile = root.path() + "/run/lock/LCK..ttyS0";
        port.setEvents({});
        port.setPort("COM1");
    }
};

} // namespace

TEST(OpenRules, DevicesThatAreNoTerminalsAreNeverOpened)
{
    testsupport::TestSysRoot root;
    std::filesystem::create_directories(root.path() + "/dev");
    const std::string fifo = root.path() + "/dev/ttyFIFO";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> names { "ttyFIFO" };
    // /dev/zero's own device number, presented under a port name.
    const std::string zero = root.path() + "/dev/zero";
    if (::mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0)
        names.push_back("zero");
    for (const std::string& name : names) {
        testsupport::OpenCounter counter(root.path() + "/dev/" + name);
        TComPort port;
        port.setPort(name);
        EXPECT_EQ(openFailure(port), std::make_pair(1, ENOTTY)) << name;
        EXPECT_EQ(counter.opens(), 0) << name << " was opened";
    }
    if (names.size() == 1)
        GTEST_SKIP() << "no device node can be made here; the FIFO was checked";
}

TEST_F(LockedRoot, AStaleLockFileIsRemovedAndOursStandsWhileOpen)
{
    root.writeFile("run/lock/LCK..ttyS0", lockText(endedProcess()));
    ASSERT_EQ(openFailure(port), std::make_pair(0, 0));
    EXPECT_EQ(root.readFile("run/lock/LCK..ttyS0"), lockText(::getpid()));
    // Another process respects it, as minicom or picocom would.
    const pid_t other = testsupport::inChild([] {
        TComPort again;
        again.setEvents({});
        again.setPort("COM1");
        return openFailure(again) == std::make_pair(1, EBUSY);
    });
    EXPECT_TRUE(testsupport::succeeded(other));
    port.closePort();
    EXPECT_FALSE(std::filesystem::exists(lockFile));
}

TEST_F(LockedRoot, ALiveHoldersLockFileKeepsThePortClosed)
{
    // Process 1 always runs: a terminal program that holds the line without flock().
    root.writeFile("run/lock/LCK..ttyS0", lockText(1));
    EXPECT_EQ(openFailure(port), std::make_pair(1, EBUSY));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(root.readFile("run/lock/LCK..ttyS0"), lockText(1));
    std::filesystem::remove(lockFile);
    EXPECT_EQ(openFailure(port), std::make_pair(0, 0));
}

TEST(OpenRules, AKilledHolderLocksNobodyOut)
{
    PtyPair pty;
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const platform::FileDescriptor ready[2] { platform::FileDescriptor(ends[0]),
        platform::FileDescriptor(ends[1]) };
    const pid_t holder = ::fork();
    if (holder == 0) {
        TComPort port;
        port.setEvents({});
        port.setPort(pty.slavePath());
        port.openPort();
        [[maybe_unused]] const ssize_t told = ::write(ready[1].get(), "!", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0].get(), &byte, 1), 1);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);

    // The line is still up (the far end lives), and nothing of the holder is left on it.
    const platform::FileDescriptor probe(
        ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(probe.valid());
    int exclusive = -1;
    ASSERT_EQ(::ioctl(probe.get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    EXPECT_EQ(openFailure(port), std::make_pair(0, 0));
}

TEST(OpenRules, FramingsTheLineCannotCarryAreRefused)
{
    PtyPair pty;
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    // One and a half stop bits exist only with five data bits.
    port.setStopBits(sbOne5StopBits);
    try {
        port.openPort();
        FAIL() << "opened with 1.5 stop bits and 8 data bits";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 7);
        EXPECT_EQ(e.systemError(), EINVAL);
    }
    EXPECT_FALSE(port.Connected());
    port.setDataBits(dbFive);
    port.openPort();

    // CTS output flow drives RTS itself: RTS cannot also be held.
    EXPECT_THROW(port.FlowControl().setOutCTSFlow(true), EComPort);
    port.FlowControl().setControlRTS(rtsHandshake);
    EXPECT_NO_THROW(port.FlowControl().setOutCTSFlow(true));
    port.closePort();
}
