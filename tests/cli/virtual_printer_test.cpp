// quillet-send against the real quillet-virtual-printer on each of its endpoints (loopback TCP,
// a pseudo-terminal presented as a serial port, a FIFO standing for LPT1): what each command
// prints, in the printer's decoded log, and what the printer answers to status.
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"
#include "tests/emulator/PrinterProcess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using testsupport::logOf;
using testsupport::PrinterProcess;
using testsupport::ProgramOptions;

namespace {

// A loopback address of this run's own, so that runs at the same time never collide.
const std::string kAddress = testsupport::randomLoopbackAddress();

struct Endpoint {
    const char* name;
    std::vector<std::string> (*printer)(const std::string& root);
    std::vector<std::string> connection;
};

const Endpoint kEndpoints[] = {
    { "tcp",
        [](const std::string&) {
            return std::vector<std::string> { "--tcp", kAddress + ":9100" };
        },
        { "--net", kAddress } },
    { "pty",
        [](const std::string& root) {
            return std::vector<std::string> { "--pty", "ttyVP7", "--sysroot", root };
        },
        { "--com", "ttyVP7:19200,8N1" } },
    { "fifo",
        [](const std::string& root) {
            return std::vector<std::string> { "--fifo", root + "/dev/lp0" };
        },
        { "--lpt", "LPT1" } },
};

class OnVirtualPrinter : public testing::TestWithParam<Endpoint> {
protected:
    void start(std::vector<std::string> extra = {})
    {
        std::filesystem::create_directories(root.path() + "/dev");
        auto arguments = GetParam().printer(root.path());
        arguments.insert(arguments.end(), { "--out", out.path(), "--pause", "0.5" });
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        printer = std::make_unique<PrinterProcess>(arguments);
        printer->waitForLine("ready");
    }

    testsupport::ProgramResult send(const std::vector<std::string>& command)
    {
        auto arguments = GetParam().connection;
        arguments.insert(arguments.end(), command.begin(), command.end());
        return testsupport::runProgram(QUILLET_SEND, arguments,
            ProgramOptions { {}, { { "QUILLET_SYSROOT", root.path() } }, 60000 });
    }

    void expectDone(const std::vector<std::string>& command)
    {
        const auto run = send(command);
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }

    testsupport::TempDir root, out, files;
    std::unique_ptr<PrinterProcess> printer;
};

} // namespace

TEST_P(OnVirtualPrinter, EveryCommandPrintsWhatItSays)
{
    start();
    expectDone({ "print-test", "Hello\nGrüße" });
    expectDone({ "cut" });
    auto log = logOf(printer->waitForLine("receipt "));
    EXPECT_NE(log.find("ESC @ initialize\ntext \"Hello\" font A, left, at 0\nCR carriage return\n"
                       "LF line feed\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("Gr"), std::string::npos) << log;
    EXPECT_NE(log.find("GS V 66 0 partial cut after feed\n"), std::string::npos) << log;

    expectDone({ "drawer" });
    EXPECT_EQ(logOf(printer->waitForLine("receipt ")),
        "ESC p 0 50 50 drawer pulse pin 2\nCR carriage return\n");

    files.writeFile("receipt.bin", std::string("\x1B\x40\x1B\x45\x01Total\n\x1D\x56\x41\x03", 15));
    expectDone({ "raw", files.file("receipt.bin") });
    log = logOf(printer->waitForLine("receipt "));
    EXPECT_NE(log.find("text \"Total\""), std::string::npos) << log;
    EXPECT_NE(log.find("GS V 65 3"), std::string::npos) << log;
}

TEST_P(OnVirtualPrinter, StatusAsThePrinterAnswers)
{
    start({ "--status", "paper-end,cover-open" });
    const auto run = send({ "status", "--json" });
    if (std::string(GetParam().name) == "fifo") {
        EXPECT_EQ(run.exitCode, 4) << run.err; // a FIFO carries nothing back
        return;
    }
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.out.find("\"paper-end\":true"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"cover-open\":true"), std::string::npos) << run.out;
    printer->writeLine("status none");
    printer->waitForLine("status none");
    const auto healthy = send({ "status" });
    EXPECT_EQ(healthy.exitCode, 0) << healthy.err << healthy.out;
}

INSTANTIATE_TEST_SUITE_P(Endpoints, OnVirtualPrinter, testing::ValuesIn(kEndpoints),
    [](const testing::TestParamInfo<Endpoint>& info) { return std::string(info.param.name); });
