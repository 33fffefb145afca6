// The real quillet-virtual-printer as a printer of jobs: interleaving clients each get receipts
// of their own lines, printing held by paper end fills the receive buffer and stops reading until
// the printer is ready, real-time requests are answered while receipts are drawn, and receipts
// never replace a file that is there.
#include "PrinterProcess.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace testsupport;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// The texts a receipt's log says were printed, in order.
std::vector<std::string> printedTexts(const std::string& log)
{
    std::vector<std::string> texts;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("text \"", 0) == 0)
            texts.push_back(line.substr(6, line.find('"', 6) - 6));
    return texts;
}

std::string lineOf(int client, int line)
{
    return "client " + std::to_string(client) + " line " + std::to_string(line);
}

// `clients` connections, each sending `lines` lines, one small write at a time, every line cut
// in two writes and begun by ESC @ (which on a shared engine would clear another's half line),
// all interleaved; with `cut`, each job ends with a cut, otherwise only
// with its connection. Each receipt holds one client's lines, whole and in order.
void interleave(int clients, int lines, bool cut)
{
    TempDir folder;
    // Without cuts the last receipt ends by the pause.
    PrinterProcess printer(
        { "--tcp", "127.0.0.1:0", "--out", folder.path(), "--pause", cut ? "30" : "0.5" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    std::vector<std::unique_ptr<RawClient>> connections;
    for (int c = 0; c < clients; ++c)
        connections.push_back(std::make_unique<RawClient>("127.0.0.1", port));
    for (int line = 0; line < lines; ++line) {
        for (int c = 0; c < clients; ++c)
            connections[c]->send("\x1b@" + lineOf(c, line).substr(0, 9));
        for (int c = 0; c < clients; ++c)
            connections[c]->send(lineOf(c, line).substr(9) + "\n");
    }
    for (auto& connection : connections) {
        if (cut)
            connection->send("\x1dV\x00"s);
        connection->close();
    }
    std::map<int, std::vector<std::string>> byClient;
    for (int receipt = 0; receipt < clients; ++receipt) {
        const auto texts = printedTexts(logOf(printer.waitForLine("receipt ")));
        ASSERT_FALSE(texts.empty());
        const int client = std::stoi(texts[0].substr(7));
        std::vector<std::string> expected;
        for (int line = 0; line < lines; ++line)
            expected.push_back(lineOf(client, line));
        EXPECT_EQ(texts, expected) << "receipt " << receipt;
        EXPECT_TRUE(byClient.emplace(client, texts).second) << "client " << client << " twice";
    }
    EXPECT_EQ(byClient.size(), std::size_t(clients));
    EXPECT_EQ(printer.stop(), 0);
}

} // namespace

TEST(VirtualPrinterJobs, TwoInterleavingClientsEachGetTheirOwnReceipt)
{
    interleave(2, 6, true);
    interleave(2, 6, false);
}

TEST(VirtualPrinterJobs, AHundredInterleavingClientsEachGetTheirOwnReceipt)
{
    interleave(100, 3, true);
}

TEST(VirtualPrinterJobs, PaperEndHoldsTheJobFillsTheBufferAndStopsReading)
{
    TempDir folder;
    const auto fifo = folder.file("lp0");
    PrinterProcess printer({ "--fifo", fifo, "--out", folder.file("out"), "--status", "paper-end",
        "--buffer", "4096", "--tcp", "127.0.0.1:0" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    // A 576x1000 dot image, 72 000 bytes: more than the pipe and the buffer together hold.
    const auto job
        = "\x1b@held text\n\x1dv0\x00\x48\x00\xe8\x03"s + std::string(72000, '\x81') + "\x1dV\x00"s;
    platform::FileDescriptor writer(open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(writer.valid());
    std::size_t sent = 0;
    for (int quiet = 0; quiet < 20 && sent < job.size(); ++quiet) {
        const ssize_t wrote = write(writer.get(), job.data() + sent, job.size() - sent);
        if (wrote > 0) {
            sent += std::size_t(wrote);
            quiet = 0;
        }
        usleep(10000);
    }
    // The pipe (64 KiB) and the printer's 4096 bytes hold it; the rest stays with the sender.
    EXPECT_LT(sent, job.size());
    EXPECT_GE(sent, 4096u);
    EXPECT_LE(sent, 65536u + 4096u);

    // Real-time requests are still answered, here and on another connection, and the printer
    // waits without spinning.
    RawClient other("127.0.0.1", port);
    const double before = printer.cpuSeconds();
    other.send("\x10\x04\x04\x10\x04\x01");
    EXPECT_EQ(other.receive(2), "\x72\x1a");
    usleep(2500000); // past the pause, which gives a silent job's turn away but not a held one's
    EXPECT_LT(printer.cpuSeconds() - before, 0.5);

    printer.writeLine("status ready");
    writer.reset();
    writer = platform::FileDescriptor(open(fifo.c_str(), O_WRONLY | O_CLOEXEC));
    // The rest goes into the same stream, as a parallel port's does.
    ASSERT_EQ(
        write(writer.get(), job.data() + sent, job.size() - sent), ssize_t(job.size() - sent));
    const auto log = logOf(printer.waitForLine("receipt "));
    // The other connection's questions are logged where they came, beside the held job.
    EXPECT_EQ(log.rfind("ESC @ initialize\n"
                        "DLE EOT 4 real-time status paper sensor, answered 72\n"
                        "DLE EOT 1 real-time status printer, answered 1A\n"
                        "text \"held text\"",
                  0),
        0u)
        << log.substr(0, 300);
    EXPECT_NE(log.find("raster image 576x1000 dots"), std::string::npos) << log;
    EXPECT_NE(log.find("GS V 0 full cut"), std::string::npos) << log;
}

TEST(VirtualPrinterJobs, StatusIsAnsweredWhileALongReceiptIsDrawn)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path() });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    // A table of 300 rows and 12 columns, 1.1 m long and more than 14 000 log lines: drawing it
    // takes a while, and answering must not wait for that.
    std::string job = "\x1b@";
    for (int row = 0; row < 300; ++row) {
        for (int column = 0; column < 12; ++column)
            job += "\x1b$"s + char(column * 48) + '\0' + "\x1b" + "E\x01" + std::to_string(row % 10)
                + "\x1b" + "E\x00"s;
        job += "\n";
    }
    RawClient client("127.0.0.1", port);
    client.send(job + "\x1dV\x00"s);
    client.send("\x10\x04\x01");
    EXPECT_EQ(client.receive(1), "\x12");
    EXPECT_FALSE(printer.hasSaid("receipt ")) << "the answer waited for the drawing";
    const auto log = logOf(printer.waitForLine("receipt "));
    // Written whole: the log starts with the first command and ends with the last.
    EXPECT_EQ(log.rfind("ESC @ initialize\nESC $ 0 0 absolute position 0 dots\n", 0), 0u)
        << log.substr(0, 200);
    const std::string last = "ESC E 0 emphasis off\nLF line feed\nGS V 0 full cut\n";
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

TEST(VirtualPrinterJobs, ReceiptsNeverReplaceFilesThatAreThere)
{
    TempDir folder;
    folder.writeFile("0001.png", "a picture");
    folder.writeFile("0003.txt", "an orphan log");
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path() });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    RawClient("127.0.0.1", port).send("new\n\x1dV\x00"s);
    EXPECT_EQ(printer.waitForLine("receipt "), folder.path() + "/0004.png");
    EXPECT_EQ(folder.readFile("0003.txt"), "an orphan log");
    EXPECT_EQ(folder.readFile("0001.png"), "a picture");
}

TEST(VirtualPrinterJobs, AWarningIsSaidOncePerReceiptWithItsName)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path() });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    std::string job;
    for (int i = 0; i < 50; ++i)
        job += "\x1bt\x63x\n";
    RawClient("127.0.0.1", port).send(job + "\x1dV\x00"s);
    const auto picture = printer.waitForLine("receipt ");
    printer.stop();
    const auto errors = printer.errors();
    const std::string warning = "0001.png: code table 99 is not known: PC437 is used\n";
    EXPECT_NE(errors.find(warning), std::string::npos) << errors;
    EXPECT_EQ(errors.find("code table 99"), errors.rfind("code table 99")) << errors;
}

TEST(VirtualPrinterJobs, StoppingPrintsWhatWasHeld)
{
    TempDir folder;
    PrinterProcess printer(
        { "--tcp", "127.0.0.1:0", "--out", folder.path(), "--status", "cover-open" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    RawClient client("127.0.0.1", port);
    client.send("held line\n\x10\x04\x02");
    EXPECT_EQ(client.receive(1), "\x16");
    EXPECT_EQ(printer.stop(), 0);
    EXPECT_NE(printer.errors().find("stopped while printing was held"), std::string::npos);
    bool found = false;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        found = found
            || fileText(entry.path().string()).find("text \"held line\"") != std::string::npos;
    EXPECT_TRUE(found);
}
