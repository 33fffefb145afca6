// The serial port list read from a test system root's sysfs.
#include "serial/CPort.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

using cport::EComPort;
using cport::listSerialPorts;
using Names = std::vector<std::string>;

class PortListTest : public ::testing::Test {
protected:
    // A tty as the kernel shows it: a device with a driver, and the serial core's type.
    void addPort(const std::string& name, std::optional<std::string> type = std::nullopt)
    {
        std::filesystem::create_directories(root.file("sys/class/tty/" + name + "/device/driver"));
        if (type)
            root.writeFile("sys/class/tty/" + name + "/type", *type);
    }
    void addFolder(const std::string& relative)
    {
        std::filesystem::create_directories(root.file(relative));
    }

    testsupport::TestSysRoot root;
};

TEST_F(PortListTest, SortsIgnoringCaseInPlainTextOrder)
{
    for (const char* name : { "COM2", "COM10", "COM1" })
        addPort(name);
    Names names;
    listSerialPorts(names);
    EXPECT_EQ(names, (Names { "COM1", "COM10", "COM2" }));
}

TEST_F(PortListTest, ListsDevicesWithDriversAndSkipsPlaceholderUarts)
{
    addPort("ttyS0", "4\n"); // a 16550A that answered
    addPort("ttyS1", "0\n"); // configured, no hardware
    addPort("ttyS2", "0");
    addPort("ttyUSB0"); // no serial core, no type
    addPort("ttyACM0");
    addFolder("sys/class/tty/tty1"); // a virtual console: no device
    addFolder("sys/class/tty/ttyprintk/device"); // a device without a driver
    // Real sysfs links the driver; a link to nowhere is no driver.
    addFolder("sys/bus/usb-serial/drivers/ftdi_sio");
    addFolder("sys/class/tty/ttyUSB1/device");
    std::filesystem::create_directory_symlink(root.path() + "/sys/bus/usb-serial/drivers/ftdi_sio",
        root.path() + "/sys/class/tty/ttyUSB1/device/driver");
    addFolder("sys/class/tty/ttyUSB2/device");
    std::filesystem::create_directory_symlink(
        root.path() + "/nowhere", root.path() + "/sys/class/tty/ttyUSB2/device/driver");

    Names names;
    listSerialPorts(names);
    EXPECT_EQ(names, (Names { "ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB1" }));
}

TEST_F(PortListTest, ReplacesTheWholeList)
{
    addFolder("sys/class/tty");
    Names names { "stale", "entries" };
    listSerialPorts(names);
    EXPECT_TRUE(names.empty());

    addPort("ttyS0");
    listSerialPorts(names);
    EXPECT_EQ(names, Names { "ttyS0" });
}

TEST_F(PortListTest, UnreadableFolderRaisesCode23AndKeepsTheList)
{
    struct Case {
        const char* what;
        bool fileInPlace;
        int error;
    };
    for (const Case& c : { Case { "missing", false, ENOENT }, Case { "a file", true, ENOTDIR } }) {
        SCOPED_TRACE(c.what);
        testsupport::TestSysRoot broken;
        if (c.fileInPlace)
            broken.writeFile("sys/class/tty", "not a folder");
        Names names { "COM1", "COM2" };
        try {
            listSerialPorts(names);
            ADD_FAILURE() << "no error raised";
        } catch (const EComPort& error) {
            EXPECT_EQ(error.errorCode(), 23);
            EXPECT_EQ(error.systemError(), c.error);
            EXPECT_EQ(error.message(),
                "Registry error (win error code: " + std::to_string(c.error) + ")");
        }
        EXPECT_EQ(names, (Names { "COM1", "COM2" }));
    }
}

TEST(PortNameOrder, KeepsDuplicatesAndEmptyNames)
{
    struct Case {
        Names given;
        Names sorted;
    };
    const Case cases[] = {
        { { "ttyS1", "", "COM1", "ttyS1", "" }, { "", "", "COM1", "ttyS1", "ttyS1" } },
        // Names equal but for case keep a fixed order, whatever the directory order was.
        { { "com1", "COM1", "Com1" }, { "COM1", "Com1", "com1" } },
        { { "COM1", "com1" }, { "COM1", "com1" } },
        // Letters fold to lower case: punctuation between the cases sorts before letters.
        { { "ttyUSB0", "tty_x", "ttyS0", "TTYAMA0" }, { "tty_x", "TTYAMA0", "ttyS0", "ttyUSB0" } },
        { { "ttyS10", "ttyS9", "ttyS1" }, { "ttyS1", "ttyS10", "ttyS9" } },
    };
    for (const Case& c : cases) {
        Names names = c.given;
        cport::sortPortNames(names);
        EXPECT_EQ(names, c.sorted);
    }
}

} // namespace
