// The real quillet-virtual-printer writing receipts to a full disk and refusing a read-only one,
// on a 1 MiB tmpfs of the test's own (tests/emulator/on_small_disk.sh).
#include "PrinterProcess.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace testsupport;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string smallDisk()
{
    const char* disk = std::getenv("QUILLET_SMALL_DISK");
    if (!disk)
        throw std::runtime_error("run by on_small_disk.sh, which names the disk");
    return disk;
}

// Fills the disk to the last byte with one file.
void fill(const std::string& path)
{
    std::ofstream filler(path, std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()))
        ;
}

bool errorsSay(PrinterProcess& printer, const std::string& words)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (printer.errors().find(words) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

TEST(VirtualPrinterDisk, ReceiptsThatCannotBeWrittenAreKeptAndWrittenWhenThereIsRoom)
{
    const auto disk = smallDisk();
    const auto out = disk + "/receipts";
    PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", out });
    const int port = printer.tcpPort();
    printer.waitForLine("ready");
    fill(disk + "/filler");

    RawClient("127.0.0.1", port).send("first receipt\n\x1dV\x00"s);
    RawClient("127.0.0.1", port).send("second receipt\n\x1dV\x00"s);
    EXPECT_TRUE(errorsSay(printer, "No space left on device; the receipt is kept in memory"))
        << printer.errors();
    EXPECT_FALSE(printer.hasSaid("receipt "));
    EXPECT_TRUE(fs::is_empty(out)) << "no part of a receipt is left behind";

    fs::remove(disk + "/filler");
    const auto first = printer.waitForLine("receipt ");
    const auto second = printer.waitForLine("receipt ");
    EXPECT_EQ(first, out + "/0001.png");
    EXPECT_EQ(second, out + "/0002.png");
    EXPECT_NE(logOf(first).find("text \"first receipt\""), std::string::npos);
    EXPECT_NE(logOf(second).find("text \"second receipt\""), std::string::npos);
    EXPECT_EQ(printer.stop(), 0);
}

TEST(VirtualPrinterDisk, AReadOnlyFolderIsRefusedAtStart)
{
    const auto readOnly = smallDisk() + "/read-only";
    fs::create_directories(readOnly);
    ASSERT_EQ(std::system(("mount -t tmpfs -o ro,size=64k tmpfs '" + readOnly + "'").c_str()), 0);
    const struct {
        std::string out;
        std::string message;
    } cases[] = {
        { readOnly, "receipts cannot be written to " + readOnly + ": Read-only file system" },
        { readOnly + "/receipts", "cannot make the folder " + readOnly + "/receipts: " },
    };
    for (const auto& c : cases) {
        PrinterProcess printer({ "--tcp", "127.0.0.1:0", "--out", c.out });
        EXPECT_EQ(printer.wait(), 1);
        EXPECT_NE(printer.errors().find(c.message), std::string::npos) << printer.errors();
        EXPECT_FALSE(printer.hasSaid("ready"));
    }
}
