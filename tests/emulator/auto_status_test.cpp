// The real quillet-virtual-printer as a partner for automatic status back and recovery, with raw
// TCP clients: each connection hears of the changes it chose (GS a n) and no others, and the
// recovery requests act only during a recoverable error.
#include "PrinterProcess.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace testsupport;
using namespace std::string_literals;

namespace {

void changeTo(PrinterProcess& printer, const std::string& conditions)
{
    printer.writeLine("status " + conditions);
    printer.waitForLine("status ");
}

} // namespace

TEST(VirtualPrinterAutoStatus, EachConnectionHearsOfTheChangesItChose)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path(), "--pause", "0" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    RawClient drawer("127.0.0.1", port), paper("127.0.0.1", port), silent("127.0.0.1", port);
    drawer.send("\x1D\x61\x01");
    paper.send("\x1D\x61\x08");
    EXPECT_EQ(drawer.receive(4), "\x10\x00\x00\x00"s);
    EXPECT_EQ(paper.receive(4), "\x10\x00\x00\x00"s);

    changeTo(printer, "paper-near-end");
    EXPECT_EQ(paper.receive(4), "\x10\x00\x03\x00"s);
    changeTo(printer, "paper-near-end,drawer-open");
    EXPECT_EQ(drawer.receive(4), "\x14\x00\x03\x00"s);
    // The message reports everything; only what was chosen sets it off.
    changeTo(printer, "paper-end,drawer-open");
    EXPECT_EQ(paper.receive(4), "\x1C\x00\x0C\x00"s);
    // A status question in between is answered alone; GS a 0 ends the messages.
    paper.send("\x10\x04\x04\x1D\x61\x00"s);
    EXPECT_EQ(paper.receive(1), "\x72");
    changeTo(printer, "none");
    EXPECT_EQ(drawer.receive(4), "\x10\x00\x00\x00"s);
    EXPECT_EQ(paper.receive(1, 300), "");
    EXPECT_EQ(silent.receive(1, 300), "");
}

TEST(VirtualPrinterAutoStatus, BuffersAreClearedOnlyDuringARecoverableError)
{
    TempDir folder;
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", folder.path(), "--status",
        "recoverable-error", "--pause", "0.3" });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    const std::string clear = "\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08"s;
    {
        RawClient job("127.0.0.1", port);
        job.send("Lost\n");
        RawClient clearing("127.0.0.1", port);
        // DLE DC4 8 clears what waited but leaves the error: DLE EOT 3 still reports it.
        clearing.send(clear + "\x10\x04\x03");
        EXPECT_EQ(clearing.receive(1), "\x16");
        clearing.send("\x10\x05\x01\x10\x04\x03"s);
        EXPECT_EQ(clearing.receive(1), "\x12");
    }
    printer.waitForLine("recovered");
    {
        // Outside an error the request clears nothing: this job is printed.
        RawClient job("127.0.0.1", port);
        job.send("Kept\n" + clear);
    }
    const auto log = logOf(printer.waitForLine("receipt "));
    EXPECT_NE(log.find("Kept"), std::string::npos) << log;
    EXPECT_EQ(log.find("Lost"), std::string::npos) << log;
}
