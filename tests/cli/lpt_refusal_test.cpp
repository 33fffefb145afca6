// --lpt writes to printer devices only: a regular file, a disk or a folder named by mistake is
// refused with one line and exit code 1, and keeps every byte; FIFOs (the virtual printer's
// and the tests') and character devices are written.
#include "printer/TestActions.h"
#include "support/TempDir.h"
#include "tests/cli/QuilletSend.h"
#include "tests/printer/PrinterFifo.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using testsupport::ProgramOptions;
using testsupport::ProgramResult;
using testsupport::runSend;
using testsupport::withSysRoot;

namespace {

void expectRefused(const ProgramResult& run, const std::string& path, const std::string& kind)
{
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err,
        "quillet-send: " + path + " is " + kind
            + ", not a printer device: only character devices and FIFOs are written to.\n");
    EXPECT_EQ(run.out, "");
}

} // namespace

TEST(LptRefusal, ARegularFileKeepsItsContentForEveryCommand)
{
    testsupport::TempDir home;
    const std::string notes = home.file("notes.txt");
    home.writeFile("notes.txt", "my notes, not a receipt");
    for (const std::vector<std::string>& command : { std::vector<std::string> { "cut" },
             { "print-test", "Hello" }, { "raw", "-" }, { "status", "--timeout", "50" } }) {
        std::vector<std::string> words { "--lpt", notes };
        words.insert(words.end(), command.begin(), command.end());
        expectRefused(runSend(words), notes, "a regular file");
        EXPECT_EQ(home.readFile("notes.txt"), "my notes, not a receipt") << command[0];
    }
}

TEST(LptRefusal, ADiskByNameAndAFolderAreRefused)
{
    testsupport::TempDir root;
    std::filesystem::create_directories(root.path() + "/dev/usb/lp0");
    expectRefused(runSend({ "--lpt", "LPT1", "cut" }, withSysRoot(root)),
        root.path() + "/dev/usb/lp0", "a folder");
    // "sda" is /dev/sda: here a disk node of its own whose number no loop device serves, so
    // even a wrong open could reach no data.
    const std::string disk = root.path() + "/dev/sda";
    if (::mknod(disk.c_str(), S_IFBLK | 0600, makedev(7, 251)) != 0)
        GTEST_SKIP() << "making a block device node needs root";
    expectRefused(
        runSend({ "--lpt", "sda", "drawer" }, withSysRoot(root)), disk, "a block device (a disk)");
}

TEST(LptRefusal, CharacterDevicesAndFifosAreWritten)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/usb/lp1");
    std::filesystem::create_symlink("/dev/null", root.path() + "/dev/lp0");
    auto run = runSend({ "--lpt", "LPT2", "cut" }, withSysRoot(root));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fifo.take(), printer::cutPaperBytes());
    run = runSend({ "--lpt", "LPT1", "drawer" }, withSysRoot(root));
    EXPECT_EQ(run.exitCode, 0) << run.err;
}
