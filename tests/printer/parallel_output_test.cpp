// The parallel transport against real files, FIFOs and character devices below a test system
// root, and the dispatch that chooses it.
#include "platform/Exception.h"
#include "platform/MessageBoxes.h"
#include "printer/ParallelOutput.h"
#include "printer/PrinterDevice.h"
#include "printer/SendToPrinter.h"
#include "printer/TestActions.h"
#include "serial/CPort.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/printer/PrinterFifo.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

using namespace printer;
using testsupport::PrinterFifo;
using testsupport::TestSysRoot;

namespace {

// The code and message of the I/O error a send raises; 0 and "" when it succeeds.
std::pair<int, std::string> sendResult(const std::string& name, const std::string& bytes)
{
    try {
        sendParallel(name, bytes);
        return { 0, "" };
    } catch (const platform::EInOutError& error) {
        return { error.errorCode(), error.what() };
    }
}

std::string pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7);
    return bytes;
}

} // namespace

TEST(ParallelOutput, WritesExactlyTheBytesToTheDevice)
{
    TestSysRoot root;
    PrinterFifo printer(root.path() + "/dev/lp0");
    for (const std::string& bytes : { printTestBytes(""), cutPaperBytes(), cashDrawerBytes(),
             pattern(127), pattern(128), pattern(129), pattern(1000) }) {
        EXPECT_EQ(sendResult("LPT1", bytes), std::make_pair(0, std::string()));
        EXPECT_EQ(printer.take(), bytes) << bytes.size() << " bytes";
    }
}

TEST(ParallelOutput, ReportsEachFailureWithTheRuntimeCode)
{
    TestSysRoot root;
    std::filesystem::create_directories(root.path() + "/dev");
    std::filesystem::create_symlink("/dev/full", root.path() + "/dev/lp3");
    root.writeFile("dev/keep", "");
    mkfifo((root.path() + "/dev/lp0").c_str(), 0600); // nobody reads it
    const struct {
        const char* name;
        int code;
        const char* message;
    } cases[] = {
        { "LPT2", 2, "File not found" }, // no such device
        { "LPT1", ENXIO, "I/O error 6" }, // a FIFO without a reader fails instead of hanging
        { "LPT4", 101, "Disk full" }, // the device refuses the bytes at the flush
        { "keep/x", 3, "Invalid filename" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            sendResult(c.name, cutPaperBytes()), std::make_pair(c.code, std::string(c.message)))
            << c.name;
    // A missing device is never created, neither as a parallel nor as a USB printer.
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/dev/lp1"));
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/dev/usb/lp1"));
}

// A regular file, a disk or a folder where the device should be is no printer: it is refused
// unopened and keeps its content, for the window's LPT names and a path alike.
TEST(ParallelOutput, RefusesAnythingButACharacterDeviceOrAFifoAndLeavesItAlone)
{
    TestSysRoot root;
    root.writeFile("dev/usb/lp0", "an older and much longer content");
    std::filesystem::create_directories(root.path() + "/dev/lp2");
    // A disk node of its own (root only): a loop device number no loop device serves, so
    // even a wrong open could write nothing anywhere.
    const std::string disk = root.path() + "/dev/sda";
    const bool madeDisk = ::mknod(disk.c_str(), S_IFBLK | 0600, makedev(7, 250)) == 0;
    for (const auto& [name, kind] :
        std::vector<std::pair<std::string, std::string>> { { "lpt1", "a regular file" },
            { "LPT3", "a folder" }, { madeDisk ? "sda" : "", "a block device (a disk)" } }) {
        if (name.empty())
            continue;
        try {
            sendParallel(name, cashDrawerBytes());
            ADD_FAILURE() << name << " was written";
        } catch (const ENotPrinterDevice& error) {
            EXPECT_NE(std::string(error.what()).find(" is " + kind + ", not a printer device"),
                std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(root.readFile("dev/usb/lp0"), "an older and much longer content");
}

TEST(ParallelOutput, LargeOutputArrivesWhole)
{
    TestSysRoot root;
    PrinterFifo printer(root.path() + "/dev/lp0");
    const std::string bytes = pattern(300 * 1024); // several times the pipe's capacity
    std::string received;
    std::thread reader([&] {
        pollfd ready { printer.readEnd(), POLLIN, 0 };
        while (received.size() < bytes.size() && poll(&ready, 1, 30000) > 0)
            received += printer.take();
    });
    EXPECT_EQ(sendResult("LPT1", bytes).first, 0);
    reader.join();
    EXPECT_TRUE(received == bytes);
}

// A printer that keeps taking bytes, however slowly, is never cut off: here 8 KB every 500 ms
// through a pipe that holds 64 KB, for a job that lasts beyond the 7 s limit.
TEST(ParallelOutput, ASlowReaderIsNeverCutOff)
{
    TestSysRoot root;
    PrinterFifo printer(root.path() + "/dev/lp0");
    const std::string bytes = pattern(192 * 1024);
    std::string received;
    std::thread reader([&] {
        char piece[8192];
        pollfd ready { printer.readEnd(), POLLIN, 0 };
        while (received.size() < bytes.size() && poll(&ready, 1, 30000) > 0) {
            const ssize_t got = read(printer.readEnd(), piece, sizeof piece);
            if (got <= 0)
                break;
            received.append(piece, static_cast<std::size_t>(got));
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(sendResult("LPT1", bytes), std::make_pair(0, std::string()));
    EXPECT_GT(std::chrono::steady_clock::now() - started, std::chrono::seconds(7));
    reader.join();
    EXPECT_TRUE(received == bytes);
}

TEST(ParallelOutput, AReaderThatLeavesFailsTheSendWithoutKillingTheProgram)
{
    TestSysRoot root;
    PrinterFifo printer(root.path() + "/dev/lp0");
    std::thread reader([&] {
        pollfd ready { printer.readEnd(), POLLIN, 0 };
        poll(&ready, 1, 30000);
        printer.closeReadEnd();
    });
    EXPECT_EQ(sendResult("LPT1", pattern(1024 * 1024)),
        std::make_pair(EPIPE, std::string("I/O error 32")));
    reader.join();
}

namespace {

// One choice checked; the serial port names a device that does not exist, so running the serial
// transport would raise.
class FixedConnection : public PrinterConnection {
public:
    FixedConnection(std::optional<Connection> chosen, std::string lptName, std::string address)
        : m_chosen(chosen)
        , m_lptName(std::move(lptName))
        , m_address(std::move(address))
    {
        m_port.setPort("/nonexistent/ttyS0");
    }
    bool isChecked(Connection connection) const override { return m_chosen == connection; }
    std::string lptDeviceName() const override { return m_lptName; }
    cport::TCustomComPort& comPort() const override { return m_port; }
    std::string networkAddress() const override { return m_address; }

private:
    std::optional<Connection> m_chosen;
    std::string m_lptName;
    std::string m_address;
    mutable cport::TComPort m_port;
};

} // namespace

TEST(SendToPrinter, RunsOnlyTheTransportOfTheCheckedChoice)
{
    TestSysRoot root;
    PrinterFifo lpt1(root.path() + "/dev/lp0");
    PrinterFifo lpt2(root.path() + "/dev/lp1");
    testsupport::TcpListener network;
    platform::RecordingMessageService boxes;
    const std::string& address = network.address();
    sendToPrinter(FixedConnection(Connection::Lpt, "LPT2", address), cashDrawerBytes());
    EXPECT_EQ(lpt2.take(), cashDrawerBytes());
    sendToPrinter(FixedConnection(std::nullopt, "LPT1", address), cashDrawerBytes());
    sendToPrinter(FixedConnection(Connection::Ethernet, "LPT1", address), cutPaperBytes());
    EXPECT_EQ(lpt1.take(), "");
    EXPECT_EQ(network.waitForConnections(1), std::vector<std::string> { cutPaperBytes() });
    EXPECT_TRUE(boxes.boxes().empty());
}
