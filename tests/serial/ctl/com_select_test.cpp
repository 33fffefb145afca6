// The binding logic of the port-bound selector, on a plain entry list and real port objects.
#include "serial/CPort.h"
#include "serial/ctl/ComSelect.h"
#include "support/TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace cport;
using Names = std::vector<std::string>;

class VectorItems : public TComItems {
public:
    int entryCount() const override { return int(entries.size()); }
    std::string entry(int index) const override { return entries.at(std::size_t(index)); }
    void replaceEntries(const Names& replacement) override { entries = replacement; }

    Names entries;
};

class ComSelectTest : public ::testing::Test {
protected:
    void addPort(const std::string& name)
    {
        std::filesystem::create_directories(root.file("sys/class/tty/" + name + "/device/driver"));
    }

    testsupport::TestSysRoot root;
    VectorItems items;
    TComSelect select { items };
    TComPort port;
};

// Per property: the entries, the index of the port's value, and what a taken text writes.
TEST_F(ComSelectTest, BindsFindsAndAppliesEachProperty)
{
    using Check = std::function<bool(const TComPort&)>;
    struct Case {
        TComProperty property;
        Names entries;
        std::function<void(TComPort&)> setPort;
        int found;
        std::string taken;
        Check written;
    };
    const Case cases[] = {
        { cpPort, { "ttyS0", "ttyS1", "ttyUSB0" }, [](TComPort& p) { p.setPort("TTYS1"); }, 1,
            "ttyUSB3", [](const TComPort& p) { return p.Port() == "ttyUSB3"; } },
        { cpBaudRate,
            { "Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                "38400", "56000", "57600", "115200", "128000", "256000" },
            [](TComPort& p) { p.setBaudRate(br19200); }, 9, "fast",
            [](const TComPort& p) { return p.BaudRate() == br9600; } },
        { cpDataBits, { "5", "6", "7", "8" }, [](TComPort& p) { p.setDataBits(dbSeven); }, 2, "6",
            [](const TComPort& p) { return p.DataBits() == dbSix; } },
        { cpStopBits, { "1", "1.5", "2" }, [](TComPort& p) { p.setStopBits(sbOne5StopBits); }, 1,
            "2", [](const TComPort& p) { return p.StopBits() == sbTwoStopBits; } },
        { cpParity, { "None", "Odd", "Even", "Mark", "Space" },
            [](TComPort& p) { p.Parity().setBits(prMark); }, 3, "even",
            [](const TComPort& p) { return p.Parity().Bits() == prEven; } },
        { cpFlowControl, { "Hardware", "Software", "None", "Custom" },
            [](TComPort& p) { p.FlowControl().setFlowControl(fcSoftware); }, 1, "HARDWARE",
            [](const TComPort& p) { return p.FlowControl().FlowControl() == fcHardware; } },
        // Settings that match no named pattern read as "Custom"; taking "Custom" keeps them.
        { cpFlowControl, {}, [](TComPort& p) { p.FlowControl().setControlRTS(rtsEnable); }, 3,
            "Custom", [](const TComPort& p) { return p.FlowControl().ControlRTS() == rtsEnable; } },
    };
    for (const char* name : { "ttyUSB0", "ttyS1", "ttyS0" })
        addPort(name);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taken);
        TComPort bound;
        c.setPort(bound);
        items.entries = { "left over" };
        select.setComPort(nullptr);
        select.bindProperty(c.property);
        EXPECT_EQ(select.ComProperty(), c.property);
        if (!c.entries.empty()) {
            EXPECT_EQ(items.entries, c.entries);
        }
        EXPECT_EQ(select.findPortValue(), std::nullopt); // no port bound
        select.setComPort(&bound);
        EXPECT_EQ(select.findPortValue(), c.found);

        select.setAutoApply(false);
        select.takeText(c.taken);
        select.applyToPort();
        EXPECT_TRUE(c.written(bound));
        TComPort automatic;
        c.setPort(automatic);
        select.setComPort(&automatic);
        select.setAutoApply(true);
        select.takeText(c.taken);
        EXPECT_TRUE(c.written(automatic)) << "not applied with auto apply";
    }
}

TEST_F(ComSelectTest, FoundEntryIsStoredInItsOwnSpelling)
{
    addPort("ttyS0");
    select.setComPort(&port);
    select.bindProperty(cpPort);
    port.setPort("TTYS0");
    EXPECT_EQ(select.findPortValue(), 0);
    select.applyToPort();
    EXPECT_EQ(port.Port(), "ttyS0");
}

// The main window's own baud list: a miss stores nothing, picks still convert.
TEST_F(ComSelectTest, EntriesOfOnesOwnKeepWorking)
{
    select.setComPort(&port);
    select.bindProperty(cpBaudRate);
    items.entries = { "2400", "4800", "9600", "19200", "38400", "57600", "115200" };
    select.takeText("57600");
    port.setBaudRate(br110);
    EXPECT_EQ(select.findPortValue(), -1);
    EXPECT_EQ(port.BaudRate(), br110); // without auto apply nothing is written
    select.applyToPort();
    EXPECT_EQ(port.BaudRate(), br57600);
    EXPECT_EQ(select.findPortValue(), 5);
}

TEST_F(ComSelectTest, NoneOrNoPortWritesNothing)
{
    items.entries = { "a", "b" };
    select.setAutoApply(true);
    select.bindProperty(cpBaudRate);
    select.takeText("2400"); // no port yet
    select.setComPort(&port);
    EXPECT_EQ(port.BaudRate(), br9600);
    select.bindProperty(cpNone);
    EXPECT_TRUE(items.entries.empty());
    EXPECT_EQ(select.findPortValue(), std::nullopt);
    select.takeText("COM7");
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br9600);
}

TEST_F(ComSelectTest, ListingFailureKeepsThePropertyAndEmptiesTheList)
{
    items.entries = { "old" };
    try {
        select.bindProperty(cpPort); // the test root has no sys/class/tty
        ADD_FAILURE() << "no error raised";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.errorCode(), 23);
        EXPECT_EQ(error.systemError(), ENOENT);
    }
    EXPECT_EQ(select.ComProperty(), cpPort);
    EXPECT_TRUE(items.entries.empty());
}

} // namespace
