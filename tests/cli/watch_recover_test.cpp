// status --watch and recover against the real quillet-virtual-printer over loopback TCP and a
// pseudo-terminal: the automatic status messages for each change made on the printer's standard
// input while the watch runs, and the printer's answer to DLE ENQ 1 and 2.
#include "platform/FileDescriptor.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"
#include "tests/emulator/PrinterProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::fileText;
using testsupport::logOf;
using testsupport::PrinterProcess;
using namespace std::string_literals;

namespace {

const std::string kWatchAddress = testsupport::randomLoopbackAddress();

// quillet-send running, its standard output read line by line as it is written.
class LiveRun {
public:
    LiveRun(const std::vector<std::string>& arguments, const std::string& sysroot,
        const std::string& errorFile)
    {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        m_out.reset(out[0]);
        const platform::FileDescriptor childEnd(out[1]);
        m_pid = fork();
        if (m_pid == 0) {
            setenv("QUILLET_SYSROOT", sysroot.c_str(), 1);
            const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(out[1], STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            std::vector<char*> argv { const_cast<char*>(QUILLET_SEND) };
            for (const auto& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(QUILLET_SEND, argv.data());
            _exit(127);
        }
    }
    ~LiveRun()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            wait();
        }
    }
    // The next line, waiting up to 20 s; empty when none came.
    std::string nextLine()
    {
        for (;;) {
            if (const auto end = m_pending.find('\n'); end != std::string::npos) {
                auto line = m_pending.substr(0, end);
                m_pending.erase(0, end + 1);
                return line;
            }
            pollfd wait { m_out.get(), POLLIN, 0 };
            char buffer[4096];
            if (poll(&wait, 1, 20000) <= 0)
                return {};
            const ssize_t got = read(m_out.get(), buffer, sizeof buffer);
            if (got <= 0)
                return {};
            m_pending.append(buffer, std::size_t(got));
        }
    }
    void interrupt() { kill(m_pid, SIGINT); }
    int wait()
    {
        int status = 0;
        waitpid(std::exchange(m_pid, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t m_pid = -1;
    platform::FileDescriptor m_out;
    std::string m_pending;
};

// The members of a watch line that say what happened.
std::string what(const std::string& line)
{
    const auto bytes = line.find("\"bytes\"");
    return bytes == std::string::npos ? line : line.substr(bytes);
}

struct WatchedEndpoint {
    const char* name;
    std::vector<std::string> printer;
    std::vector<std::string> connection;
};

const WatchedEndpoint kWatchedEndpoints[] = {
    { "tcp", { "--tcp", kWatchAddress + ":9100" }, { "--net", kWatchAddress } },
    { "pty", { "--pty", "ttyVP8" }, { "--com", "ttyVP8:19200,8N1" } },
};

class AutoStatusOn : public testing::TestWithParam<WatchedEndpoint> {
protected:
    void start(std::vector<std::string> extra = {})
    {
        std::filesystem::create_directories(root.path() + "/dev");
        auto arguments = GetParam().printer;
        if (isPty())
            arguments.insert(arguments.end(), { "--sysroot", root.path() });
        arguments.insert(arguments.end(), { "--out", out.path(), "--pause", "0.5" });
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        printer = std::make_unique<PrinterProcess>(arguments);
        printer->waitForLine("ready");
    }
    bool isPty() const { return std::string(GetParam().name) == "pty"; }
    std::vector<std::string> command(const std::vector<std::string>& words) const
    {
        auto arguments = GetParam().connection;
        arguments.insert(arguments.end(), words.begin(), words.end());
        return arguments;
    }
    testsupport::ProgramResult send(const std::vector<std::string>& words)
    {
        return testsupport::runProgram(QUILLET_SEND, command(words),
            testsupport::ProgramOptions { {}, { { "QUILLET_SYSROOT", root.path() } }, 60000 });
    }
    void changeTo(const std::string& conditions)
    {
        printer->writeLine("status " + conditions);
        printer->waitForLine("status ");
    }

    testsupport::TempDir root, out;
    std::unique_ptr<PrinterProcess> printer;
};

} // namespace

TEST_P(AutoStatusOn, EveryChangeMadeWhileWatchingArrivesAsOneLine)
{
    start();
    const std::string errors = out.file("watch.err");
    LiveRun watch(command({ "status", "--watch", "600", "--hex" }), root.path(), errors);
    // The message at once, then one per change, in order.
    EXPECT_EQ(what(watch.nextLine()), "\"bytes\":\"10 00 00 00\",\"conditions\":[],\"words\":[]}");
    changeTo("paper-end");
    EXPECT_EQ(what(watch.nextLine()),
        "\"bytes\":\"18 00 0C 00\",\"conditions\":[\"offline\",\"paper-end\"],"
        "\"words\":[\"offline\",\"paper end\"]}");
    changeTo("paper-end,cover-open");
    EXPECT_EQ(what(watch.nextLine()),
        "\"bytes\":\"38 00 0C 00\",\"conditions\":[\"offline\",\"cover-open\",\"paper-end\"],"
        "\"words\":[\"offline\",\"cover open\",\"paper end\"]}");
    changeTo("offline");
    EXPECT_EQ(what(watch.nextLine()),
        "\"bytes\":\"18 00 00 00\",\"conditions\":[\"offline\"],\"words\":[\"offline\"]}");
    changeTo("drawer-open");
    EXPECT_EQ(what(watch.nextLine()),
        "\"bytes\":\"14 00 00 00\",\"conditions\":[\"drawer-open\"],"
        "\"words\":[\"drawer pin 3 high\"]}");
    // A change no status reports (the feed button is not in the message) sends nothing; Ctrl-C
    // ends the watch as its time would.
    changeTo("drawer-open,feed-button");
    watch.interrupt();
    EXPECT_EQ(watch.nextLine(), "");
    EXPECT_EQ(watch.wait(), 0);
    const auto transcript = fileText(errors);
    EXPECT_NE(transcript.find("1D 61 0F"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("1D 61 00"), std::string::npos) << transcript;
}

TEST_P(AutoStatusOn, TheWatchEndsWhenItsTimeIsUp)
{
    start({ "--status", "cover-open" });
    const auto began = std::chrono::steady_clock::now();
    const auto run = send({ "status", "--watch", "1", "--hex" });
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testsupport::lines(run.out).size(), 1u) << run.out;
    EXPECT_NE(run.out.find("\"bytes\":\"38 00 00 00\""), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("1D 61 00"), std::string::npos) << run.err;
    EXPECT_GE(took, std::chrono::seconds(1));
    EXPECT_LT(took, std::chrono::seconds(15));
}

TEST_P(AutoStatusOn, RecoveryIsAnsweredAndItsResultReadBack)
{
    start({ "--status", "recoverable-error" });
    auto run = send({ "status", "--json" });
    EXPECT_EQ(run.exitCode, 3) << run.err << run.out;
    EXPECT_NE(run.out.find("\"recoverable-error\":true"), std::string::npos) << run.out;

    // A job sent during the error waits; DLE ENQ 1 ends the error and it is printed.
    EXPECT_EQ(send({ "print-test", "Resumed" }).exitCode, 0);
    run = send({ "recover", "--json" });
    EXPECT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_NE(run.out.find("\"recoverable-error\":false"), std::string::npos) << run.out;
    printer->waitForLine("recovered");
    const auto resumed = printer->waitForLine("receipt ");
    EXPECT_NE(logOf(resumed).find("Resumed"), std::string::npos);

    // DLE ENQ 2 clears the buffers first: the job that waited is never printed.
    changeTo("recoverable-error");
    EXPECT_EQ(send({ "print-test", "Dropped" }).exitCode, 0);
    run = send({ "recover", "--clear" });
    EXPECT_EQ(run.exitCode, 0) << run.err << run.out;
    printer->waitForLine("recovered");
    EXPECT_EQ(send({ "print-test", "After" }).exitCode, 0);
    const auto after = printer->waitForLine("receipt ");
    const auto log = logOf(after);
    EXPECT_NE(log.find("After"), std::string::npos) << log;
    EXPECT_EQ(log.find("Dropped"), std::string::npos) << log;

    // In another state the request changes nothing: the fault is still read back.
    changeTo("cover-open");
    run = send({ "recover" });
    EXPECT_EQ(run.exitCode, 3) << run.err << run.out;
    EXPECT_FALSE(printer->hasSaid("recovered"));
}

INSTANTIATE_TEST_SUITE_P(Endpoints, AutoStatusOn, testing::ValuesIn(kWatchedEndpoints),
    [](const testing::TestParamInfo<WatchedEndpoint>& info) {
        return std::string(info.param.name);
    });

// A port left with automatic status back on (by an earlier program on the same serial line):
// the message the recovery sets off comes among the answers and is never taken for one.
TEST(AutoStatusLeftOn, MessagesAmongTheAnswersAreToldApart)
{
    testsupport::TempDir root, out;
    std::filesystem::create_directories(root.path() + "/dev");
    PrinterProcess printer({ "--pty", "ttyVP9", "--sysroot", root.path(), "--out", out.path(),
        "--status", "recoverable-error" });
    const auto path = printer.waitForLine("pty ");
    printer.waitForLine("ready");
    {
        const platform::FileDescriptor port(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(port.valid());
        ASSERT_EQ(write(port.get(), "\x1D\x61\x0F", 3), 3);
        EXPECT_EQ(testsupport::readExactly(port.get(), 4), std::string("\x18\x04\x00\x00", 4));
    }
    const auto run = testsupport::runProgram(QUILLET_SEND,
        { "--com", "ttyVP9:19200,8N1", "recover", "--json", "--hex" },
        testsupport::ProgramOptions { {}, { { "QUILLET_SYSROOT", root.path() } }, 60000 });
    EXPECT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_NE(run.err.find("automatic status"), std::string::npos) << run.err;
    // Every question got its own answer: the printer's identity, not the message's bytes.
    EXPECT_NE(
        run.out.find("\"printer-id\":{\"model\":81,\"type\":2,\"version\":16}"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("\"outcome\":\"no answer\""), std::string::npos) << run.out;
}

// A printer without automatic status back: the watch turns it on and off all the same, and tells
// that nothing came; a parallel port (a FIFO) carries nothing back at all.
TEST(AutoStatusMissing, APrinterThatSendsNoneIsNoAnswer)
{
    testsupport::TcpListener silent;
    const auto run = testsupport::runProgram(
        QUILLET_SEND, { "--net", silent.address(), "status", "--watch", "1" });
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no automatic status came back"), std::string::npos) << run.err;
    EXPECT_EQ(
        silent.waitForConnections(1), std::vector<std::string> { "\x1D\x61\x0F\x1D\x61\x00"s });

    testsupport::TempDir root;
    std::filesystem::create_directories(root.path() + "/dev");
    PrinterProcess fifo({ "--fifo", root.path() + "/dev/lp0", "--out", root.path() });
    fifo.waitForLine("ready");
    const auto lpt
        = testsupport::runProgram(QUILLET_SEND, { "--lpt", "LPT1", "status", "--watch", "1" },
            testsupport::ProgramOptions { {}, { { "QUILLET_SYSROOT", root.path() } }, 60000 });
    EXPECT_EQ(lpt.exitCode, 4) << lpt.err;
    EXPECT_NE(lpt.err.find("nothing comes back"), std::string::npos) << lpt.err;
}
