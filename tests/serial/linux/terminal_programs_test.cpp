// The port beside the terminal programs users run on the same lines, where they are installed:
// minicom (a lock file named as lockdev names it) and picocom (flock()) keep the port closed
// while they hold a line, the refusal names them, and they find the line taken while the port
// holds it. The programs run on pseudo-terminals of their own, with the system's lock folder.
#include "PtyPair.h"
#include "platform/FileDescriptor.h"
#include "serial/CPort.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace cport;
using serialtest::PtyPair;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

bool installed(const std::string& program)
{
    return ::access(("/usr/bin/" + program).c_str(), X_OK) == 0;
}

// A terminal program on a screen of its own; ended when the object goes.
class TerminalProgram {
public:
    explicit TerminalProgram(std::vector<std::string> arguments)
    {
        int screen = -1;
        m_pid = ::forkpty(&screen, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            ::setenv("TERM", "xterm", 1);
            ::setenv("HOME", m_home.path().c_str(), 1); // no user settings
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(("/usr/bin/" + arguments.front()).c_str(), argv.data());
            ::_exit(127);
        }
        m_screen.reset(screen);
    }
    ~TerminalProgram()
    {
        if (!m_ended) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    TerminalProgram(const TerminalProgram&) = delete;
    TerminalProgram& operator=(const TerminalProgram&) = delete;

    pid_t pid() const { return m_pid; }

    // Reads the screen until `text` shows or `patience` passes; whether it showed.
    bool shows(const std::string& text, milliseconds patience = milliseconds(5000))
    {
        const auto until = Clock::now() + patience;
        while (m_text.find(text) == std::string::npos && Clock::now() < until) {
            pollfd p { m_screen.get(), POLLIN, 0 };
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(m_screen.get(), buffer, sizeof buffer);
            if (got <= 0)
                break; // the program has gone
            m_text.append(buffer, std::size_t(got));
        }
        return m_text.find(text) != std::string::npos;
    }
    const std::string& screen() const { return m_text; }

    // Waits up to `patience` for the program to end by itself.
    bool ends(milliseconds patience = milliseconds(5000))
    {
        const auto until = Clock::now() + patience;
        while (Clock::now() < until) {
            shows("\x01", milliseconds(20)); // keeps its screen drained
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_ended = true;
                return true;
            }
        }
        return false;
    }

private:
    testsupport::TempDir m_home;
    pid_t m_pid = -1;
    platform::FileDescriptor m_screen;
    std::string m_text;
    bool m_ended = false;
};

// The system's lock file lockdev and minicom name for a pseudo-terminal: "LCK..pts_N".
std::string systemLockFile(const std::string& slavePath)
{
    std::string name = slavePath.substr(5);
    std::replace(name.begin(), name.end(), '/', '_');
    return "/run/lock/LCK.." + name;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A lock folder of the system's that this process may write to.
bool systemLockFolderWritable()
{
    return std::getenv("QUILLET_SYSROOT") == nullptr && ::access("/run/lock", W_OK) == 0;
}

std::string refusal(TCustomComPort& port)
{
    try {
        port.openPort();
    } catch (const EComPort& e) {
        return e.what();
    }
    port.closePort();
    return "<opened>";
}

} // namespace

TEST(TerminalPrograms, MinicomHoldingALineKeepsThePortClosedAndIsNamed)
{
    if (!installed("minicom") || !systemLockFolderWritable())
        GTEST_SKIP() << "needs minicom and a writable /run/lock";
    PtyPair pty;
    const std::string lock = systemLockFile(pty.slavePath());
    TerminalProgram minicom({ "minicom", "-D", pty.slavePath() });
    ASSERT_TRUE(minicom.shows("Welcome to minicom")) << minicom.screen();
    // minicom writes its lock before its welcome screen.
    char pid[16];
    std::snprintf(pid, sizeof pid, "%10d\n", int(minicom.pid()));
    EXPECT_EQ(readFile(lock), pid);
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    EXPECT_EQ(refusal(port),
        "Unable to open com port (win error code: 16)\nThe port is locked by " + lock
            + ", held by process " + std::to_string(minicom.pid()) + " (minicom).");
    // Killed, minicom leaves its lock behind; a stale lock under our own name is cleared.
    ::kill(minicom.pid(), SIGKILL);
    ASSERT_TRUE(minicom.ends());
    EXPECT_EQ(refusal(port), "<opened>");
    ::unlink(lock.c_str());
}

TEST(TerminalPrograms, MinicomFindsTheLineLockedWhileThePortHoldsIt)
{
    if (!installed("minicom") || !systemLockFolderWritable())
        GTEST_SKIP() << "needs minicom and a writable /run/lock";
    PtyPair pty;
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.openPort();
    TerminalProgram minicom({ "minicom", "-D", pty.slavePath() });
    EXPECT_TRUE(minicom.shows("Device " + pty.slavePath() + " is locked")) << minicom.screen();
    EXPECT_TRUE(minicom.ends());
    port.closePort();
}

TEST(TerminalPrograms, PicocomHoldingALineKeepsThePortClosedAndIsNamed)
{
    if (!installed("picocom"))
        GTEST_SKIP() << "needs picocom";
    PtyPair pty;
    TerminalProgram picocom({ "picocom", pty.slavePath() });
    ASSERT_TRUE(picocom.shows("Terminal ready")) << picocom.screen();
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    EXPECT_EQ(refusal(port),
        "Unable to open com port (win error code: 16)\nThe port is in use by process "
            + std::to_string(picocom.pid()) + " (picocom).");
}

TEST(TerminalPrograms, PicocomFindsTheLineTakenWhileThePortHoldsIt)
{
    if (!installed("picocom"))
        GTEST_SKIP() << "needs picocom";
    PtyPair pty;
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.openPort();
    TerminalProgram picocom({ "picocom", pty.slavePath() });
    EXPECT_TRUE(picocom.shows("cannot lock")) << picocom.screen();
    EXPECT_TRUE(picocom.ends());
    port.closePort();
}
