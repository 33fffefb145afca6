// What opening a port may touch and what keeps others out: only serial lines and
// pseudo-terminal slaves are ever opened (not the caller's own terminal, /dev/ptmx or a
// console), the lock files of Linux serial programs are honoured under each of their names
// both ways, a refusal names the lock file or the program in the way, a killed holder locks
// nobody out, and a framing the line cannot carry is refused.
#include "PtyPair.h"
#include "platform/FileDescriptor.h"
#include "serial/CPort.h"
#include "support/ChildProcess.h"
#include "support/OpenCounter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
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

// The lock file name lockdev and minicom give the device at path: below /dev, '/' as '_'.
std::string lockdevName(const std::string& devicePath)
{
    std::string name = devicePath.substr(std::string("/dev/").size());
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

// The message line an open refused by EBUSY carries, or "" when it has none.
std::string busyDetail(TCustomComPort& port)
{
    try {
        port.openPort();
    } catch (const EComPort& e) {
        const std::string message = e.what();
        const std::string head = "Unable to open com port (win error code: 16)";
        if (message.rfind(head + "\n", 0) == 0)
            return message.substr(head.size() + 1);
        return "<" + message + ">";
    }
    return "<opened>";
}

std::string processName(pid_t pid)
{
    std::string name;
    std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
    return name;
}

// A process that lives until it is ended: a holder of whatever is written for it.
struct LiveProcess {
    pid_t pid;
    LiveProcess()
        : pid(::fork())
    {
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    ~LiveProcess()
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

// A system root whose COM1 is a pseudo-terminal and which has a lock folder.
struct LockedRoot : ::testing::Test {
    testsupport::TestSysRoot root;
    PtyPair pty;
    TComPort port;
    // Ours, named from the device the link leads to; and the name of the path as given.
    std::string ourLock, givenLock;

    LockedRoot()
    {
        std::filesystem::create_directories(root.path() + "/run/lock");
        std::filesystem::create_directories(root.path() + "/dev");
        std::filesystem::create_symlink(pty.slavePath(), root.path() + "/dev/ttyS0");
        ourLock = "run/lock/" + lockdevName(pty.slavePath());
        givenLock = "run/lock/LCK..ttyS0";
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

TEST(OpenRules, TerminalsThatAreNoSerialLinesAreRefusedWithoutBeingOpened)
{
    // The system's own: refused before they are opened (opening /dev/ptmx would make a
    // pseudo-terminal, opening /dev/tty would take the caller's terminal).
    for (const char* path : { "/dev/tty", "/dev/ptmx", "/dev/console", "/dev/tty1" }) {
        struct stat node;
        if (::stat(path, &node) != 0)
            continue;
        TComPort port;
        port.setEvents({});
        port.setPort(path);
        try {
            port.openPort();
            ADD_FAILURE() << path << " was opened";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.errorCode(), 1) << path;
            EXPECT_EQ(e.systemError(), ENOTTY) << path;
            EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 25)") << path;
        }
    }
    // The same devices under port names of a system root, where their opens can be counted.
    testsupport::TestSysRoot root;
    std::filesystem::create_directories(root.path() + "/dev");
    const std::pair<const char*, dev_t> nodes[] = { { "tty", makedev(5, 0) },
        { "console", makedev(5, 1) }, { "ptmx", makedev(5, 2) }, { "tty1", makedev(4, 1) } };
    for (const auto& [name, device] : nodes) {
        const std::string path = root.path() + "/dev/" + name;
        if (::mknod(path.c_str(), S_IFCHR | 0600, device) != 0)
            GTEST_SKIP() << "no device node can be made here; the system's own were checked";
        testsupport::OpenCounter counter(path);
        TComPort port;
        port.setEvents({});
        port.setPort(name);
        EXPECT_EQ(openFailure(port), std::make_pair(1, ENOTTY)) << name;
        EXPECT_EQ(counter.opens(), 0) << name << " was opened";
    }
}

TEST(OpenRules, TheControllingTerminalIsRefusedAndOtherPseudoTerminalsAreNot)
{
    PtyPair own;
    PtyPair other;
    const pid_t child = testsupport::inChild([&] {
        // A session of its own whose controlling terminal is `own`.
        if (::setsid() < 0)
            return false;
        const platform::FileDescriptor terminal(::open(own.slavePath().c_str(), O_RDWR));
        if (!terminal.valid() || ::ioctl(terminal.get(), TIOCSCTTY, 0) != 0)
            return false;
        TComPort port;
        port.setEvents({});
        port.setPort(own.slavePath());
        if (openFailure(port) != std::make_pair(1, ENOTTY))
            return false;
        port.setPort(other.slavePath());
        return openFailure(port) == std::make_pair(0, 0);
    });
    EXPECT_TRUE(testsupport::succeeded(child));
}

TEST_F(LockedRoot, OurLockIsNamedFromTheResolvedDeviceAsLockdevNamesIt)
{
    // A stale lock under our name is cleared.
    root.writeFile(ourLock, lockText(endedProcess()));
    ASSERT_EQ(openFailure(port), std::make_pair(0, 0));
    EXPECT_EQ(root.readFile(ourLock), lockText(::getpid()));
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/" + givenLock));
    // Another process respects it, as minicom would.
    const pid_t other = testsupport::inChild([] {
        TComPort again;
        again.setEvents({});
        again.setPort("COM1");
        return openFailure(again) == std::make_pair(1, EBUSY);
    });
    EXPECT_TRUE(testsupport::succeeded(other));
    port.closePort();
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/" + ourLock));
}

TEST_F(LockedRoot, ALiveLockUnderAnyNameOfTheDeviceKeepsThePortClosed)
{
    // Process 1 always runs: a terminal program that holds the line without flock().
    for (const std::string& lock : { ourLock, givenLock }) {
        root.writeFile(lock, lockText(1));
        EXPECT_EQ(openFailure(port), std::make_pair(1, EBUSY)) << lock;
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(root.readFile(lock), lockText(1)) << lock;
        std::filesystem::remove(root.path() + "/" + lock);
        EXPECT_EQ(openFailure(port), std::make_pair(0, 0)) << lock;
        port.closePort();
    }
}

// Old programs (and some still) write the holder's process id as a 4-byte binary number in the
// machine's byte order instead of ten characters of text.
TEST_F(LockedRoot, LocksInTheBinaryFormOfOldProgramsAreHonoured)
{
    const auto binary = [](pid_t pid) {
        const std::int32_t value = pid;
        return std::string(reinterpret_cast<const char*>(&value), sizeof value);
    };
    // Process 1, little-endian as on the machines this runs on: the port stays closed.
    const std::string init("\x01\x00\x00\x00", 4);
    ASSERT_EQ(binary(1), init);
    for (const std::string& lock : { ourLock, givenLock }) {
        root.writeFile(lock, init);
        EXPECT_EQ(openFailure(port), std::make_pair(1, EBUSY)) << lock;
        EXPECT_EQ(root.readFile(lock), init) << lock;
        std::filesystem::remove(root.path() + "/" + lock);
    }
    // The holder is named from the binary number.
    const LiveProcess holder;
    root.writeFile(ourLock, binary(holder.pid));
    EXPECT_EQ(busyDetail(port),
        "The port is locked by " + root.path() + "/" + ourLock + ", held by process "
            + std::to_string(holder.pid) + " (" + processName(holder.pid) + ").");
    // A stale binary lock under our name is cleared and replaced by ours, in text.
    root.writeFile(ourLock, binary(endedProcess()));
    ASSERT_EQ(openFailure(port), std::make_pair(0, 0));
    EXPECT_EQ(root.readFile(ourLock), lockText(::getpid()));
    port.closePort();
}

TEST_F(LockedRoot, ALinkIsLockedOutByLocksUnderItsOwnNameItsLastPartAndItsDevice)
{
    const std::string link = root.path() + "/dev/serial/by-id/usb-Maker_Printer_A1-if00-port0";
    std::filesystem::create_directories(root.path() + "/dev/serial/by-id");
    std::filesystem::create_symlink(pty.slavePath(), link);
    port.setPort(link);
    for (const std::string lock : { "run/lock/LCK..serial_by-id_usb-Maker_Printer_A1-if00-port0",
             "run/lock/LCK..usb-Maker_Printer_A1-if00-port0", ourLock.c_str() }) {
        root.writeFile(lock, lockText(1));
        EXPECT_EQ(openFailure(port), std::make_pair(1, EBUSY)) << lock;
        std::filesystem::remove(root.path() + "/" + lock);
    }
    // Held through the link, the device is closed to its other names too.
    ASSERT_EQ(openFailure(port), std::make_pair(0, 0));
    EXPECT_EQ(root.readFile(ourLock), lockText(::getpid()));
    const pid_t other = testsupport::inChild([this] {
        TComPort direct;
        direct.setEvents({});
        direct.setPort(pty.slavePath());
        return openFailure(direct) == std::make_pair(1, EBUSY);
    });
    EXPECT_TRUE(testsupport::succeeded(other));
    port.closePort();
}

TEST_F(LockedRoot, StaleLocksUnderOtherNamesAreLeftToTheirPrograms)
{
    const std::string stale = lockText(endedProcess());
    root.writeFile(givenLock, stale);
    EXPECT_EQ(openFailure(port), std::make_pair(0, 0));
    EXPECT_EQ(root.readFile(givenLock), stale);
    port.closePort();
}

TEST_F(LockedRoot, TheBusyMessageNamesTheLockFileAndTheProcessHoldingIt)
{
    const LiveProcess holder;
    const std::string file = root.path() + "/" + ourLock;
    root.writeFile(ourLock, lockText(holder.pid));
    EXPECT_EQ(busyDetail(port),
        "The port is locked by " + file + ", held by process " + std::to_string(holder.pid) + " ("
            + processName(holder.pid) + ").");
}

TEST_F(LockedRoot, AStaleLockThatCannotBeRemovedIsNamedWithHowToRemoveIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to leave a lock another user cannot remove";
    // The lock folder is sticky, as /run/lock is: another user's stale lock stays.
    ::chmod(root.path().c_str(), 0755);
    ::chmod((root.path() + "/run").c_str(), 0755);
    ::chmod((root.path() + "/run/lock").c_str(), 01777);
    ::chmod(pty.slavePath().c_str(), 0666);
    const pid_t gone = endedProcess();
    root.writeFile(ourLock, lockText(gone));
    const std::string file = root.path() + "/" + ourLock;
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const platform::FileDescriptor reader(ends[0]), writer(ends[1]);
    const pid_t child = testsupport::inChild([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return false;
        TComPort other;
        other.setEvents({});
        other.setPort("COM1");
        const std::string detail = busyDetail(other);
        return ::write(writer.get(), detail.data(), detail.size()) == ssize_t(detail.size());
    });
    ASSERT_TRUE(testsupport::succeeded(child));
    char text[1024];
    const ssize_t got = ::read(reader.get(), text, sizeof text);
    ASSERT_GT(got, 0);
    EXPECT_EQ(std::string(text, std::size_t(got)),
        "The port is locked by " + file + ", but process " + std::to_string(gone)
            + " no longer exists: remove it with \"sudo rm " + file + "\".");
    EXPECT_EQ(root.readFile(ourLock), lockText(gone));
}

TEST_F(LockedRoot, AProgramHoldingTheLineWithFlockIsNamed)
{
    // As picocom and earlier versions of Quillet hold a line: flock() and no lock file.
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const platform::FileDescriptor ready[2] { platform::FileDescriptor(ends[0]),
        platform::FileDescriptor(ends[1]) };
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            [[maybe_unused]] const ssize_t told = ::write(ready[1].get(), "!", 1);
        }
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0].get(), &byte, 1), 1);
    EXPECT_EQ(busyDetail(port),
        "The port is in use by process " + std::to_string(holder) + " (" + processName(holder)
            + ").");
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
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
