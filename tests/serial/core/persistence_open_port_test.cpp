// Loading saved settings into an open port: each setting reaches the device as it is read
// (real pseudo-terminals, read back with TCGETS2), and a changed device reopens the port.
#include "FakeComDevice.h"
#include "PtyPair.h"
#include "platform/IniFile.h"
#include "serial/CPort.h"
#include "serial/linux/TermiosMapping.h"
#include "support/TempDir.h"

#include <asm/termbits.h>
#include <gtest/gtest.h>

using namespace cport;
using serialtest::PtyPair;

namespace {

// A settings file whose section "CP" the test writes before each load.
struct SavedSettings : ::testing::Test {
    testsupport::TempDir dir;
    platform::TIniFile file { dir.path() + "/ports.ini" };

    void load(TCustomComPort& port, const std::string& lines, TStoredGroups groups = { stBasic })
    {
        dir.writeFile("ports.ini", "[CP]\n" + lines);
        port.setStoredGroups(groups);
        port.loadFromIniFile(file, "CP");
    }
};

TTermiosImage deviceTermios(const TCustomComPort& port)
{
    TTermiosImage image;
    EXPECT_EQ(readTermios(port.deviceHandle(), image), 0);
    return image;
}

// Keeps the device's termios after every line-settings apply of an open port.
class RecordingPort : public TComPort {
public:
    std::vector<TTermiosImage> applied;
    void applyLineSettings() override
    {
        TComPort::applyLineSettings();
        if (Connected())
            applied.push_back(deviceTermios(*this));
    }
};

} // namespace

TEST_F(SavedSettings, LoadingIntoAnOpenPortAppliesEachSettingAsItIsRead)
{
    PtyPair pty;
    RecordingPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.openPort();
    port.applied.clear();
    load(port,
        "Port=" + pty.slavePath()
            + "\nBaudRate=115200\nStopBits=2\nDataBits=8\nParity=Mark\nFlowControl=Hardware\n");
    ASSERT_EQ(port.applied.size(), 4u); // DataBits did not change; the summary always applies
    EXPECT_EQ(port.applied[0].ospeed, 115200u);
    EXPECT_EQ(port.applied[0].cflag & CSTOPB, 0u);
    EXPECT_NE(port.applied[1].cflag & CSTOPB, 0u);
    EXPECT_EQ(port.applied[1].cflag & CMSPAR, 0u);
    EXPECT_NE(port.applied[2].cflag & CMSPAR, 0u);
    EXPECT_EQ(port.applied[2].cflag & CRTSCTS, 0u);
    EXPECT_NE(port.applied[3].cflag & CRTSCTS, 0u);
    EXPECT_EQ(deviceTermios(port).ospeed, 115200u);
}

TEST_F(SavedSettings, LoadingIntoAnOpenPortAppliesTimeoutsAndQueueSizes)
{
    auto script = std::make_shared<serialtest::FakeScript>();
    TComPort port(std::make_unique<serialtest::FakeComDevice>(script));
    port.setEvents({});
    port.openPort();
    script->takeCalls();
    load(port, "Buffer.OutputSize=4096\nBuffer.InputSize=2049\nTimeouts.ReadInterval=50\n",
        { stBuffer, stTimeouts });
    EXPECT_EQ(script->takeCalls(),
        (std::vector<std::string> { "setQueueSizes", "setQueueSizes", "setTimeouts" }));
    EXPECT_EQ(script->inputSize, 2048);
    EXPECT_EQ(script->outputSize, 4096);
    ASSERT_TRUE(script->timeouts);
    EXPECT_EQ(script->timeouts->ReadIntervalTimeout, 50u);
}

TEST_F(SavedSettings, AChangedPortReopensBeforeTheRestIsRead)
{
    PtyPair first, second;
    TComPort port;
    port.setEvents({});
    port.setPort(first.slavePath());
    port.openPort();
    std::vector<std::uint32_t> ratesAtOpen;
    port.OnAfterOpen = [&](TCustomComPort& p) { ratesAtOpen.push_back(deviceTermios(p).ospeed); };
    load(port, "Port=" + second.slavePath() + "\nBaudRate=57600\n");
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(ratesAtOpen, std::vector<std::uint32_t> { 9600 });
    EXPECT_EQ(deviceTermios(port).ospeed, 57600u);
    EXPECT_EQ(port.writeText("x"), 1);
    EXPECT_EQ(second.receive(1), "x");
    TComPort other; // the first device was let go
    other.setEvents({});
    other.setPort(first.slavePath());
    EXPECT_NO_THROW(other.openPort());

    // A device that cannot be opened stops the load: the port stays closed, nothing else is read.
    try {
        load(port, "Port=/dev/quillet-no-such-tty\nBaudRate=1200\n");
        FAIL();
    } catch (const EComPort& error) {
        EXPECT_EQ(error.errorCode(), 1);
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br57600);
}
