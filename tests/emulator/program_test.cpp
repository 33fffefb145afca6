// The real quillet-virtual-printer with raw clients: status answered before, during and after a
// job on loopback TCP and on its pseudo-terminal, conditions changed on standard input, receipts
// from a FIFO written in several opens, bad input that never derails it, and a clear refusal of
// bad command lines.
#include "PrinterProcess.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace testsupport;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kRealTimeQueries = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04";
const std::string kIdQueries = "\x1dI\x01\x1dI\x02\x1dI\x03";
const std::string kIdReplies = "\x51\x02\x10";

struct Scanned {
    std::string decoded; // what zbarimg read
    std::string log; // the receipt's log
};

// Prints job on a virtual printer behind a FIFO, cuts, and reads the receipt's codes back with
// zbarimg (its options given).
Scanned printAndScan(const std::string& job, const std::string& zbarOptions)
{
    TempDir folder;
    PrinterProcess printer({ "--fifo", folder.file("lp0"), "--out", folder.file("out") });
    printer.waitForLine("ready");
    {
        std::ofstream fifo(folder.file("lp0"), std::ios::binary);
        fifo << job << "\x1dV\x00"s;
    }
    const auto picture = printer.waitForLine("receipt ");
    const auto scan = folder.file("decoded.txt");
    const auto command
        = "zbarimg " + zbarOptions + " '" + picture + "' > '" + scan + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return { fileText(scan), logOf(picture) };
}

} // namespace

TEST(VirtualPrinterProgram, AnswersStatusBeforeDuringAndAfterAJob)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path(), "--status",
        "paper-end", "--pause", "0" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    RawClient client("127.0.0.1", port);

    client.send(kRealTimeQueries + kIdQueries);
    EXPECT_EQ(client.receive(7), "\x1a\x32\x12\x72" + kIdReplies);

    // In the middle of a job, before any cut: a real-time reply comes at once.
    client.send("\x1b@first line\n\x1b"
                "E\x01"
                "bold li");
    client.send("\x10\x04\x04");
    EXPECT_EQ(client.receive(1), "\x72");
    printer.writeLine("status cover-open,drawer-open");
    EXPECT_EQ(printer.waitForLine("status "), "cover-open,drawer-open");
    client.send("ne\n" + kRealTimeQueries);
    EXPECT_EQ(client.receive(4), "\x1e\x16\x12\x12");
    printer.writeLine("status none");
    printer.waitForLine("status ");
    client.send("\x1dV\x42\x00"s);
    const auto receipt = printer.waitForLine("receipt ");

    client.send(kRealTimeQueries + kIdQueries + "\x1dI\x43");
    EXPECT_EQ(
        client.receive(7 + 25), "\x12\x12\x12\x12" + kIdReplies + "\x5fQuillet Virtual Printer\0"s);

    const auto log = logOf(receipt);
    EXPECT_NE(log.find("text \"first line\" font A, left, at 0\n"), std::string::npos) << log;
    // The query is logged where it came, inside the line.
    EXPECT_NE(log.find("text \"bold li\" font A, emphasized, left, at 0\n"
                       "DLE EOT 4 real-time status paper sensor, answered 72\n"
                       "text \"ne\" font A, emphasized, left, at 84\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("DLE EOT 1 real-time status printer, answered 1E\n"), std::string::npos);
    EXPECT_NE(log.find("GS V 66 0 partial cut after feed\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(receipt));
    EXPECT_EQ(printer.stop(), 0);
}

TEST(VirtualPrinterProgram, PseudoTerminalIsPlacedAsASerialPortAndAnswers)
{
    TempDir folder, root;
    std::string link = root.path() + "/dev/ttyVP0";
    {
        PrinterProcess printer({ "--pty", "ttyVP0", "--sysroot", root.path(), "--out",
            folder.path(), "--status", "offline" });
        const auto path = printer.waitForLine("pty ");
        printer.waitForLine("ready");
        EXPECT_EQ(fs::read_symlink(link), path);
        EXPECT_TRUE(fs::is_directory(root.path() + "/sys/class/tty/ttyVP0/device/driver"));

        platform::FileDescriptor port(open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(port.valid());
        const auto job = "\x10\x04\x01serial receipt\n\x1dV\x01"s;
        ASSERT_EQ(write(port.get(), job.data(), job.size()), ssize_t(job.size()));
        EXPECT_EQ(readExactly(port.get(), 1), "\x1a");
        // Offline holds the job until the printer is ready again.
        printer.writeLine("status ready");
        EXPECT_NE(logOf(printer.waitForLine("receipt ")).find("text \"serial receipt\""),
            std::string::npos);
        port.reset();
        EXPECT_EQ(printer.stop(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))); // the entries go with the printer
}

TEST(VirtualPrinterProgram, SerialPortEntriesThatWereThereStay)
{
    TempDir folder, root;
    // A port the system root already lists, and a device node that is not ours to replace.
    root.writeFile("sys/class/tty/ttyS0/device/driver/marker", "kept");
    root.writeFile("dev/ttyS1", "a device");
    {
        PrinterProcess printer(
            { "--pty", "ttyS0", "--sysroot", root.path(), "--out", folder.path() });
        printer.waitForLine("ready");
        EXPECT_TRUE(fs::is_symlink(root.path() + "/dev/ttyS0"));
        EXPECT_EQ(printer.stop(), 0);
    }
    EXPECT_EQ(root.readFile("sys/class/tty/ttyS0/device/driver/marker"), "kept");
    EXPECT_FALSE(fs::exists(fs::symlink_status(root.path() + "/dev/ttyS0")));

    PrinterProcess refused({ "--pty", "ttyS1", "--sysroot", root.path(), "--out", folder.path() });
    EXPECT_EQ(refused.wait(), 2);
    EXPECT_NE(
        refused.errors().find("cannot place " + root.path() + "/dev/ttyS1"), std::string::npos)
        << refused.errors();
    EXPECT_EQ(root.readFile("dev/ttyS1"), "a device");
    EXPECT_FALSE(fs::exists(root.path() + "/sys/class/tty/ttyS1"));
}

TEST(VirtualPrinterProgram, FifoServesAParallelPrinterAcrossOpens)
{
    TempDir folder;
    const auto fifo = folder.file("dev/lp0");
    PrinterProcess printer({ "--fifo", fifo, "--out", folder.file("out"), "--pause", "0" });
    printer.waitForLine("ready");
    for (const auto& job : { "\x1b@parallel text\r\n\x1b@"s, "\x1dV\x42\x00"s }) {
        const platform::FileDescriptor fd(open(fifo.c_str(), O_WRONLY | O_CLOEXEC));
        ASSERT_TRUE(fd.valid());
        ASSERT_EQ(write(fd.get(), job.data(), job.size()), ssize_t(job.size()));
    }
    const auto receipt = printer.waitForLine("receipt ");
    EXPECT_NE(logOf(receipt).find("text \"parallel text\""), std::string::npos);
    EXPECT_NE(logOf(receipt).find("GS V 66 0 partial cut after feed"), std::string::npos);
    EXPECT_EQ(printer.stop(), 0);
}

TEST(VirtualPrinterProgram, FifoAlwaysHasAReaderForTheNextWriter)
{
    TempDir folder;
    const auto fifo = folder.file("lp0");
    PrinterProcess printer({ "--fifo", fifo, "--out", folder.file("out"), "--pause", "0" });
    printer.waitForLine("ready");
    // Opened as Quillet opens a printer: without waiting, so a FIFO without a reader fails at once.
    constexpr int kJobs = 300;
    for (int job = 0; job < kJobs; ++job) {
        platform::FileDescriptor fd(open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        ASSERT_TRUE(fd.valid()) << "job " << job << ": " << std::strerror(errno);
        const auto bytes = job + 1 < kJobs ? "x\n"s : "x\n\x1dV\x00"s;
        ASSERT_EQ(write(fd.get(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
        fd.reset();
        // The next open comes at varied times after the printer has seen this writer leave.
        usleep(static_cast<useconds_t>(job % 20 * 25));
    }
    const auto log = logOf(printer.waitForLine("receipt "));
    std::size_t lines = 0;
    for (auto at = log.find("text \"x\""); at != std::string::npos;
         at = log.find("text \"x\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, std::size_t(kJobs));
    EXPECT_EQ(printer.stop(), 0);
}

TEST(VirtualPrinterProgram, EveryBarcodeTypeAQrCodeAndStackedDataBarsDecodeBackWithZbar)
{
    if (std::system("command -v zbarimg > /dev/null") != 0)
        GTEST_SKIP() << "zbarimg (Debian zbar-tools) is not installed";
    const struct {
        std::string command; // GS k and its data
        std::string decoded; // as zbarimg reads it back
    } codes[] = {
        { "\x1dk\x41\x0b"
          "01234567890",
            "0012345678905" }, // UPC-A, as EAN-13 with its check digit
        { "\x1dk\x42\x07"
          "0123456",
            "0012345000065" }, // UPC-E, expanded
        { "\x1dk\x43\x0c"
          "400638133393",
            "4006381333931" },
        { "\x1dk\x44\x07"
          "1234567",
            "12345670" },
        { "\x1dk\x45\x07"
          "ABC-123",
            "ABC-123" },
        { "\x1dk\x46\x08"
          "12345678",
            "12345678" },
        { "\x1dk\x47\x07"
          "A40156B",
            "A40156B" },
        { "\x1dk\x48\x07"
          "QUILLET",
            "QUILLET" },
        { "\x1dk\x49\x09{BQuillet", "Quillet" },
        { "\x1dk\x04"
          "ZERO-ENDED\0"s,
            "ZERO-ENDED" },
        // A QR code: module size 4, the data stored (length 24 + 3 = 0x1b), then printed.
        { "\x1d(k\x03\x00\x31\x43\x04"
          "\x1d(k\x1b\x00\x31\x50\x30"
          "https://example.org/qr/1"
          "\x1d(k\x03\x00\x31\x51\x30"s,
            "https://example.org/qr/1" },
        // The stacked GS1 DataBar kinds (GS ( k 51), their type before their data.
        { "\x1d(k\x11\x00\x33\x50\x30H0950110153000\x1d(k\x03\x00\x33\x51\x30"s,
            "0109501101530003" },
        { "\x1d(k\x11\x00\x33\x50\x30I0001234567890\x1d(k\x03\x00\x33\x51\x30"s,
            "0100012345678905" },
        { "\x1d(k\x1c\x00\x33\x50\x30L(01)09501101530003(10)AB"
          "\x1d(k\x03\x00\x33\x51\x30"s,
            "010950110153000310AB" },
    };
    std::string job = "\x1dh\x50";
    for (const auto& code : codes)
        job += code.command + "\n\n";
    const auto decoded = printAndScan(job, "--quiet --raw").decoded;
    for (const auto& code : codes)
        EXPECT_NE(decoded.find(code.decoded + "\n"), std::string::npos) << code.decoded << " in\n"
                                                                        << decoded;
}

// EAN-8 with or without its check digit is an EAN-8, the readable text under EAN and UPC
// carries the check digit, and the GS1 kinds decode as GS1 data.
TEST(VirtualPrinterProgram, SymbologiesDecodeAsTheirOwnKindWithCheckDigits)
{
    if (std::system("command -v zbarimg > /dev/null") != 0)
        GTEST_SKIP() << "zbarimg (Debian zbar-tools) is not installed";
    const struct {
        std::string command; // GS k and its data
        std::string decoded; // as zbarimg reads it back, with its kind
        std::string readable; // the text logged under it
    } codes[] = {
        { "\x1dk\x44\x08"
          "12345670",
            "EAN-8:12345670", "12345670" },
        { "\x1dk\x03"
          "9638507\0"s,
            "EAN-8:96385074", "96385074" },
        { "\x1dk\x43\x0c"
          "400638133393",
            "EAN-13:4006381333931", "4006381333931" },
        { "\x1dk\x43\x0d"
          "4006381333931",
            "EAN-13:4006381333931", "4006381333931" },
        { "\x1dk\x41\x0b"
          "01234567890",
            "EAN-13:0012345678905", "012345678905" },
        { "\x1dk\x4a\x12"
          "(01)09501101530003",
            "CODE-128:0109501101530003", "(01)09501101530003" },
        { "\x1dk\x4b\x0d"
          "0950110153000",
            "DataBar:0109501101530003", "(01)09501101530003" },
        { "\x1dk\x4c\x0d"
          "0950110153000",
            "DataBar:0109501101530003", "(01)09501101530003" },
        // zbar does not read DataBar Limited: its readable text shows libzint made the symbol.
        { "\x1dk\x4d\x0d"
          "0950110153000",
            "", "(01)09501101530003" },
        { "\x1dk\x4e\x18"
          "(01)09501101530003(10)AB",
            "DataBar-Exp:010950110153000310AB", "(01)09501101530003(10)AB" },
        { "\x1dk\x4f\x07"
          "Quillet",
            "CODE-128:Quillet", "Quillet" },
    };
    std::string job = "\x1dh\x50\x1dH\x02";
    for (const auto& code : codes)
        job += code.command + "\n\n";
    const auto [decoded, log] = printAndScan(job, "--quiet");
    for (const auto& code : codes) {
        EXPECT_TRUE(code.decoded.empty() || decoded.find(code.decoded + "\n") != std::string::npos)
            << code.decoded << " in\n"
            << decoded;
        EXPECT_NE(log.find("text \"" + code.readable + "\" font A"), std::string::npos)
            << code.readable;
    }
}

TEST(VirtualPrinterProgram, BadInputIsLoggedAndNeverDerailsIt)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path(), "--pause", "0.2" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    {
        RawClient client("127.0.0.1", port);
        // An unknown command, an image as wide as 65535 bytes a row and as tall as 65535 rows (4 GB
        // announced, a little sent), then the connection ends inside it.
        client.send("\x1b\x99"
                    "ok\n\x1dv0\x00\xff\xff\xff\xff"s
            + std::string(1000, '\x55'));
    }
    {
        RawClient client("127.0.0.1", port);
        client.send("\x10\x04\x01\x1dv0\x00\x01\x00\x02"s); // cut short inside the header
        EXPECT_EQ(client.receive(1), "\x12");
    }
    const auto receipt = printer.waitForLine("receipt ");
    EXPECT_NE(logOf(receipt).find("1B 99 unknown command, skipped"), std::string::npos);
    EXPECT_NE(logOf(receipt).find("refused: 4294836225 bytes of data skipped"), std::string::npos)
        << logOf(receipt);
    RawClient later("127.0.0.1", port);
    later.send("\x10\x04\x02");
    EXPECT_EQ(later.receive(1), "\x12");
    printer.stop();
    const auto errors = printer.errors();
    EXPECT_NE(errors.find("1B 99 unknown command, skipped"), std::string::npos) << errors;
    EXPECT_NE(errors.find("GS v 0 truncated"), std::string::npos) << errors;
}

TEST(VirtualPrinterProgram, ManyClientsWaitTheirTurnWithoutSpinning)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path() });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 70; ++i)
        clients.push_back(std::make_unique<RawClient>("127.0.0.1", port));
    clients.front()->send("\x10\x04\x01");
    EXPECT_EQ(clients.front()->receive(1), "\x12");
    // Beyond the 64 served at once, a client waits (in the listen queue) and the loop sleeps.
    clients.back()->send("\x10\x04\x02");
    const double before = printer.cpuSeconds();
    EXPECT_EQ(clients.back()->receive(1, 2000), "");
    EXPECT_LT(printer.cpuSeconds() - before, 1.0); // a spinning loop would use all 2 s
    for (int i = 0; i < 6; ++i)
        clients[i]->close();
    EXPECT_EQ(clients.back()->receive(1), "\x12");
    EXPECT_EQ(printer.stop(), 0);
}

TEST(VirtualPrinterProgram, RefusesBadCommandLinesClearly)
{
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        { {}, 1, "say where the printer listens" },
        { { "--tcp", "192.0.2.3:9100" }, 1, "192.0.2.3 is not a loopback address" },
        { { "--tcp", "127.0.0.1:99999" }, 1, "\"99999\" is not a TCP port number" },
        { { "--tcp", "127.0.0.1", "--status", "paper-gone" }, 1,
            "unknown printer condition \"paper-gone\"" },
        { { "--fifo", "/proc/version" }, 2, "/proc/version exists and is not a FIFO" },
        { { "--pty", "../evil", "--sysroot", "/tmp" }, 2, "\"../evil\" is not a serial port name" },
        { { "--pause", "-1", "--tcp", "127.0.0.1" }, 1, "--pause takes seconds" },
        { { "--paper", "70", "--tcp", "127.0.0.1" }, 1, "--paper takes 80 or 58" },
        { { "--sysroot", "/tmp", "--tcp", "127.0.0.1" }, 1, "--sysroot places the port of --pty" },
        { { "--out", "/proc/quillet", "--tcp", "127.0.0.1:0" }, 1, "cannot make the folder" },
        { { "--out", "/proc/sys", "--tcp", "127.0.0.1:0" }, 1,
            "receipts cannot be written to /proc/sys: " },
        { { "--buffer", "0", "--tcp", "127.0.0.1" }, 1, "--buffer takes a size in bytes" },
        { { "--flow", "rtscts", "--pty", "x" }, 1, "--flow takes hardware, none or xonxoff" },
        { { "--drain", "0", "--pty", "x" }, 1, "--drain takes bytes a second" },
        { { "--flow", "none", "--tcp", "127.0.0.1" }, 1,
            "--flow and --drain are the line of --pty" },
    };
    PrinterProcess help({ "--help" });
    EXPECT_EQ(
        help.waitForLine("Not drawn"), " (said once in each receipt's log and on standard error):");
    EXPECT_EQ(help.waitForLine("  smoothing (GS b)"),
        ": enlarged characters are drawn smooth whether it is on or off");
    EXPECT_EQ(help.wait(), 0);
    for (const auto& c : cases) {
        PrinterProcess printer(c.arguments);
        EXPECT_EQ(printer.wait(), c.exitCode) << c.message;
        EXPECT_NE(printer.errors().find(c.message), std::string::npos) << printer.errors();
    }
}
