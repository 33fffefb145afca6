// The device file's descriptor: closed however the file ends, never when it is standard output.
// A FIFO stands in for the printer; its reader sees the end of the data only once every writer
// has closed.
#include "printer/DeviceFile.h"
#include "support/TempDir.h"
#include "tests/printer/PrinterFifo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using printer::DeviceFile;
using testsupport::PrinterFifo;

namespace {

// Whether the FIFO has no writer left: a read gives the end of the data, not "nothing yet".
bool writerGone(const PrinterFifo& fifo)
{
    char byte;
    return ::read(fifo.readEnd(), &byte, 1) == 0;
}

} // namespace

TEST(DeviceFile, ClosesTheDeviceWhenAFailedCheckLeftItOpen)
{
    testsupport::TempDir folder;
    PrinterFifo fifo(folder.file("lp0"));
    {
        DeviceFile device;
        device.open(folder.file("lp0"));
        ASSERT_EQ(device.takeError(), 0);
        device.write("abc");
        device.flush();
        EXPECT_FALSE(writerGone(fifo));
        // A check that raises here leaves the file without close().
    }
    EXPECT_TRUE(writerGone(fifo));
}

TEST(DeviceFile, CloseHandsTheRestOnAndEndsTheDevice)
{
    testsupport::TempDir folder;
    PrinterFifo fifo(folder.file("lp0"));
    DeviceFile device;
    device.open(folder.file("lp0"));
    device.write(std::string(DeviceFile::bufferSize + 3, 'x'));
    device.close();
    EXPECT_EQ(device.takeError(), 0);
    EXPECT_EQ(fifo.take(), std::string(DeviceFile::bufferSize + 3, 'x'));
    EXPECT_TRUE(writerGone(fifo));
    device.close(); // closing again closes nothing else
    EXPECT_EQ(device.takeError(), 0);
}

TEST(DeviceFile, StandardOutputStaysOpen)
{
    {
        DeviceFile device;
        device.open("");
        device.close();
        EXPECT_EQ(device.takeError(), 0);
    }
    {
        DeviceFile device;
        device.open("");
    }
    EXPECT_NE(::fcntl(STDOUT_FILENO, F_GETFD), -1);
}

TEST(DeviceFile, AMissingDeviceIsFileNotFoundAndNothingIsWritten)
{
    testsupport::TempDir folder;
    DeviceFile device;
    device.open(folder.file("dev/lp0"));
    EXPECT_EQ(device.takeError(), 2);
    device.write("abc");
    device.close();
    EXPECT_EQ(device.takeError(), 0);
}
