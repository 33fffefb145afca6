// The real quillet-send, run as a shell runs it with no display at all, against printers played
// on loopback TCP, a pseudo-terminal and a FIFO: every command byte-exact and the same bytes
// the window's buttons send (the same byte builders), every exit code, and the refusals of bad
// command lines that never touch the device.
#include "printer/TestActions.h"
#include "support/TempDir.h"
#include "tests/cli/QuilletSend.h"
#include "tests/printer/PrinterFifo.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::lines;
using testsupport::ProgramOptions;
using testsupport::ProgramResult;
using testsupport::runSend;
using testsupport::ScriptedPrinter;
using testsupport::withSysRoot;

namespace {

const std::string kReceipt = std::string("\x1B\x40\x1B\x61\x01Total\x00\n\x1D\x56\x41\x03", 14);

// The four sending commands and the bytes the window sends for each (print-test with "Hello",
// raw with a prepared receipt).
struct Job {
    std::vector<std::string> words;
    std::string bytes;
};

std::vector<Job> jobs(const testsupport::TempDir& files)
{
    files.writeFile("receipt.bin", kReceipt);
    return { { { "print-test", "Hello" }, printer::printTestBytes("Hello") },
        { { "cut" }, printer::cutPaperBytes() }, { { "drawer" }, printer::cashDrawerBytes() },
        { { "raw", files.file("receipt.bin") }, kReceipt } };
}

std::vector<std::string> concat(
    std::vector<std::string> front, const std::vector<std::string>& back)
{
    front.insert(front.end(), back.begin(), back.end());
    return front;
}

void expectDone(const ProgramResult& run)
{
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// Runs every job over the connection and checks the bytes that `arrived` reports after each.
template <typename Arrived>
void sendEveryJob(
    const std::vector<std::string>& connection, const ProgramOptions& options, Arrived arrived)
{
    testsupport::TempDir files;
    std::string expected;
    for (const auto& job : jobs(files)) {
        expectDone(runSend(concat(connection, job.words), options));
        expected += job.bytes;
        EXPECT_EQ(arrived(expected.size()), expected) << job.words[0];
    }
}

} // namespace

TEST(SendOverTcp, EveryCommandByteExact)
{
    auto printer = ScriptedPrinter::onTcp("127.0.118.1");
    sendEveryJob({ "--net", "127.0.118.1:9100" }, {},
        [&](std::size_t count) { return printer->received(count); });
}

TEST(SendOverPty, EveryCommandByteExactByPathAndByPortName)
{
    auto printer = ScriptedPrinter::onPty();
    sendEveryJob({ "--com", printer->slavePath() + ":19200,8N1" }, {},
        [&](std::size_t count) { return printer->received(count); });

    // A port name as the port list offers it, below the system root.
    testsupport::TempDir root;
    std::filesystem::create_directories(root.path() + "/dev");
    std::filesystem::create_symlink(printer->slavePath(), root.path() + "/dev/ttyQS7");
    const std::string before = printer->received();
    expectDone(runSend({ "--com", "ttyQS7:115200,8N1,xonxoff", "cut" }, withSysRoot(root)));
    EXPECT_EQ(printer->received(before.size() + 4), before + printer::cutPaperBytes());
}

TEST(SendToFifo, EveryCommandByteExactAsLpt1AndByPath)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/lp0");
    std::string taken;
    sendEveryJob({ "--lpt", "LPT1" }, withSysRoot(root), [&](std::size_t) {
        taken += fifo.take();
        return taken;
    });
    expectDone(runSend({ "--lpt", root.path() + "/dev/lp0", "drawer" }));
    EXPECT_EQ(fifo.take(), printer::cashDrawerBytes());
}

TEST(SendText, FromStandardInputAndInAnotherCodePage)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/lp0");
    expectDone(runSend({ "--lpt", "LPT1", "print-test", "-" }, withSysRoot(root, "Grüße €\n")));
    EXPECT_EQ(fifo.take(),
        printer::printTestBytes("Gr\xFC\xDF"
                                "e \x80\r\n"));
    expectDone(runSend(
        { "--lpt", "LPT1", "--encoding", "CP437", "print-test", "Grüße\nok" }, withSysRoot(root)));
    EXPECT_EQ(fifo.take(),
        printer::printTestBytes("Gr\x81\xE1"
                                "e\r\nok"));
    expectDone(runSend({ "--lpt", "LPT1", "raw", "-" }, withSysRoot(root, kReceipt)));
    EXPECT_EQ(fifo.take(), kReceipt);
}

TEST(Status, AHealthyPrinterOnEachTwoWayConnection)
{
    auto tcp = ScriptedPrinter::onTcp("127.0.118.2");
    auto pty = ScriptedPrinter::onPty();
    for (auto* printer : { tcp.get(), pty.get() })
        printer->answerAsHealthyPrinter();
    for (const auto& connection : { std::vector<std::string> { "--net", "127.0.118.2" },
             std::vector<std::string> { "--com", pty->slavePath() + ":9600" } }) {
        const auto run = runSend(concat(connection, { "status" }));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        ASSERT_FALSE(run.out.empty());
        EXPECT_EQ(lines(run.out)[0], "printer online, paper OK");
        EXPECT_NE(run.out.find("model 0x20, type 0x02 (autocutter)"), std::string::npos) << run.out;
    }
}

TEST(Status, JsonAndTheTranscriptOfQuestionsAndAnswers)
{
    auto printer = ScriptedPrinter::onTcp("127.0.118.3");
    printer->answer("\x10\x04\x01", "\x1A"); // offline
    printer->answer("\x10\x04\x02", "\x32"); // stopped by paper end
    printer->answer("\x10\x04\x03", "\x12");
    printer->answer("\x10\x04\x04", "\x72"); // paper end
    const auto run
        = runSend({ "--net", "127.0.118.3", "status", "--json", "--hex", "--timeout", "200" });
    EXPECT_EQ(run.exitCode, 3) << run.err;
    QJsonParseError error;
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    EXPECT_FALSE(json["ready"].toBool());
    EXPECT_TRUE(json["conditions"].toObject()["offline"].toBool());
    EXPECT_TRUE(json["conditions"].toObject()["paper-end"].toBool());
    EXPECT_TRUE(json["printer-id"].toObject()["model"].isNull());
    EXPECT_NE(run.err.find("sent  10 04 01"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("DLE EOT 1"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("recv  1A"), std::string::npos) << run.err;
}

TEST(Status, NoAnswerIsCodeFour)
{
    auto silent = ScriptedPrinter::onTcp("127.0.118.4");
    auto run = runSend({ "--net", "127.0.118.4", "status", "--timeout", "100" });
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(lines(run.out)[0], "printer: no answer, paper: no answer");

    // A FIFO standing in for a printer carries nothing back.
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/lp0");
    run = runSend({ "--lpt", "LPT1", "status", "--timeout", "100" }, withSysRoot(root));
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_NE(run.out.find("paper out (driver): not available"), std::string::npos) << run.out;
}

TEST(Failures, ConnectionAndDeviceFailuresAreCodeTwoWithTheWindowsTexts)
{
    testsupport::TempDir root;
    const std::vector<std::pair<std::vector<std::string>, std::string>> failures {
        { { "--net", "127.0.118.5", "cut" }, "quillet-send: Connect error" },
        { { "--net", "127.0.118.5", "status" }, "quillet-send: Connect error." },
        { { "--com", "ttyNOPE9", "cut" },
            "quillet-send: Unable to open com port (win error code: 2)" },
        { { "--lpt", "LPT3", "drawer" }, "quillet-send: File not found." },
    };
    for (const auto& [words, text] : failures) {
        const auto run = runSend(words, withSysRoot(root));
        EXPECT_EQ(run.exitCode, 2) << words[2];
        EXPECT_EQ(run.err, text + "\n");
    }
    // A printer device that nobody serves: a FIFO without a reader fails at once (ENXIO).
    std::filesystem::create_directories(root.path() + "/dev");
    ASSERT_EQ(::mkfifo((root.path() + "/dev/lp0").c_str(), 0600), 0);
    const auto run = runSend({ "--lpt", "LPT1", "cut" }, withSysRoot(root));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillet-send: I/O error 6.\n");
}

TEST(Failures, ADeviceDeniedNamesItsGroupAndHowToJoinIt)
{
    testsupport::TempDir root;
    std::filesystem::create_directories(root.path() + "/dev");
    const std::string device = root.path() + "/dev/lp0";
    ASSERT_EQ(::mkfifo(device.c_str(), 0660), 0);
    // Readable folders, a device only root and the group lp may write.
    for (const auto& path : { root.path(), root.path() + "/dev" })
        ::chmod(path.c_str(), 0755);
    ASSERT_EQ(::chown(device.c_str(), 0, 7), 0);
    ::chmod(device.c_str(), 0660);
    // The program and its library copied where the other user may read them (the build folder
    // may lie below a folder only root can enter); the program finds the library beside it.
    const std::string program = root.path() + "/quillet-send";
    std::filesystem::copy_file(QUILLET_SEND, program);
    std::filesystem::copy_file(
        ZEVARUV, root.path() + "/" + std::filesystem::path(ZEVARUV).filename().string());
    // So may ThreadSanitizer's suppressions file, which the program reads as it starts.
    auto options = withSysRoot(root);
    if (const char* tsan = std::getenv("TSAN_OPTIONS")) {
        std::string value = tsan;
        const std::string key = "suppressions=";
        if (const auto at = value.find(key); at != std::string::npos) {
            const auto from = at + key.size();
            const auto file = value.substr(from, value.find(' ', from) - from);
            const std::string copy = root.path() + "/tsan-suppressions.txt";
            std::filesystem::copy_file(file, copy);
            value.replace(from, file.size(), copy);
        }
        options.environment.emplace_back("TSAN_OPTIONS", value);
    }
    const auto run = testsupport::runProgram("/usr/bin/setpriv",
        { "--reuid=65534", "--regid=65534", "--clear-groups", program, "--lpt", "LPT1", "cut" },
        options);
    if (::geteuid() != 0 || run.exitCode == 127)
        GTEST_SKIP() << "needs root to run the program as another user: " << run.err;
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(lines(run.err),
        (std::vector<std::string> { "quillet-send: File access denied",
            "The device " + device
                + " belongs to the group \"lp\": join it with \"sudo usermod "
                  "-aG lp $USER\", then log in again." }));
}

TEST(BadArguments, OneLineCodeOneAndTheDeviceUntouched)
{
    auto printer = ScriptedPrinter::onTcp("127.0.118.6");
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/lp0");
    const std::vector<std::vector<std::string>> refused {
        { "--net", "127.0.118.6", "--frobnicate", "cut" },
        { "--net", "127.0.118.6", "--timeout", "soon", "status" },
        { "--net", "127.0.118.256", "cut" },
        { "--net", "127.0.118.6", "raw", root.path() + "/missing.bin" },
        { "--lpt", "LPT1", "--com", "ttyS0:19200", "cut" },
        { "--com", "ttyS0:12x00,8N1", "cut" },
        { "--com", "ttyS0:9600,8Q1", "cut" },
        { "--lpt", "LPT1", "raw", root.path() + "/missing.bin" },
        { "--lpt", "LPT1", "print-test" },
        { "--lpt", "LPT1", "cut", "extra" },
    };
    for (const auto& words : refused) {
        const auto run = runSend(words, withSysRoot(root));
        EXPECT_EQ(run.exitCode, 1) << words[2];
        EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("quillet-send: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const auto missing = runSend({ "--lpt", "LPT1", "raw", root.path() + "/missing.bin" });
    EXPECT_EQ(missing.err, "quillet-send: " + root.path() + "/missing.bin: File not found.\n");
    EXPECT_EQ(printer->received(1, 300), "");
    EXPECT_EQ(fifo.take(), "");
}

TEST(Information, HelpVersionAndTheDeviceList)
{
    auto run = runSend({ "--help" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage: quillet-send", 0), 0u);
    run = runSend({ "--version" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "quillet-send (Quillet) 1.0\n");

    testsupport::TempDir root;
    root.writeFile("sys/class/tty/ttyUSB0/device/driver/.keep", "");
    root.writeFile("sys/class/tty/ttyS0/device/driver/.keep", "");
    root.writeFile("dev/usb/lp0", "");
    root.writeFile("dev/usb/lp10", "");
    root.writeFile("dev/lp1", "");
    root.writeFile("dev/lpfoo", "");
    root.writeFile("sys/class/usbmisc/lp0/device/ieee1284_id",
        "MFG:EPSON;CMD:ESC/POS;MDL:TM-T20II;CLS:PRINTER;");
    run = runSend({ "--list" }, withSysRoot(root));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string dev = root.path() + "/dev";
    EXPECT_EQ(lines(run.out),
        (std::vector<std::string> { "Serial ports:", "ttyS0", "ttyUSB0",
            "Line printers:", dev + "/lp1  LPT2  no IEEE-1284 device ID",
            dev + "/usb/lp0  LPT1  EPSON TM-T20II (command set ESC/POS)",
            dev + "/usb/lp10  no IEEE-1284 device ID", "USB printers:" }));
}
