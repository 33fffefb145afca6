// Opening, configuring and closing: real pseudo-terminals, and the scripted device for
// refusals that a pseudo-terminal cannot produce.
#include "FakeComDevice.h"
#include "PtyPair.h"
#include "serial/CPort.h"
#include "serial/core/ComDevice.h"
#include "serial/linux/TermiosMapping.h"
#include "support/TempDir.h"

#include <asm/termbits.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cport;
using serialtest::FakeComDevice;
using serialtest::FakeScript;
using serialtest::PtyPair;

namespace {

// Records the open and close notifications in order.
void recordNotifications(TCustomComPort& port, std::vector<std::string>& log)
{
    port.OnBeforeOpen = [&](TCustomComPort&) { log.push_back("BeforeOpen"); };
    port.OnAfterOpen = [&](TCustomComPort&) { log.push_back("AfterOpen"); };
    port.OnBeforeClose = [&](TCustomComPort&) { log.push_back("BeforeClose"); };
    port.OnAfterClose = [&](TCustomComPort&) { log.push_back("AfterClose"); };
    port.OnCTSChange = [&](TCustomComPort&, bool on) { log.push_back(on ? "CTS on" : "CTS off"); };
    port.OnDSRChange = [&](TCustomComPort&, bool on) { log.push_back(on ? "DSR on" : "DSR off"); };
    port.OnRLSDChange
        = [&](TCustomComPort&, bool on) { log.push_back(on ? "RLSD on" : "RLSD off"); };
}

int openError(TCustomComPort& port)
{
    try {
        port.openPort();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 1);
        return e.systemError();
    }
    return 0;
}

TTermiosImage deviceTermios(const TCustomComPort& port)
{
    TTermiosImage image;
    EXPECT_EQ(readTermios(port.deviceHandle(), image), 0);
    return image;
}

} // namespace

TEST(Lifecycle, OpenAndCloseNotifyInOrderOnce)
{
    PtyPair pty;
    std::vector<std::string> log; // outlives the port, whose destruction still notifies
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    recordNotifications(port, log);

    port.openPort();
    EXPECT_TRUE(port.Connected());
    EXPECT_GE(port.deviceHandle(), 0);
    port.openPort();
    port.setConnected(true);
    EXPECT_EQ(log,
        (std::vector<std::string> { "BeforeOpen", "AfterOpen", "CTS off", "DSR off", "RLSD off" }));
    log.clear();
    port.closePort();
    port.closePort();
    port.setConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.deviceHandle(), -1);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "CTS off", "DSR off", "RLSD off", "BeforeClose", "AfterClose" }));
    port.setConnected(true);
    EXPECT_TRUE(port.Connected());
}

TEST(Lifecycle, NamesThatAreNotTerminalsAreRefusedAndNothingIsCreated)
{
    testsupport::TestSysRoot root;
    root.writeFile("dev/ttyFILE", "keep me");
    ::mkfifo(root.file("dev/ttyFIFO").c_str(), 0600);
    std::filesystem::create_directories(root.file("dev/ttyDIR"));
    struct Case {
        std::string port;
        int error;
    };
    for (const Case& c : { Case { "ttyNOPE", ENOENT }, { "COM7", ENOENT }, { "ttyFILE", ENOTTY },
             { "ttyFIFO", ENOTTY }, { "ttyDIR", ENOTTY }, { root.file("dev/ttyFILE"), ENOTTY },
             { "null", ENOENT } }) {
        TComPort port;
        port.setPort(c.port);
        std::vector<std::string> log;
        recordNotifications(port, log);
        EXPECT_EQ(openError(port), c.error) << c.port;
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(port.deviceHandle(), -1);
        EXPECT_EQ(log, std::vector<std::string> { "BeforeOpen" }) << c.port;
    }
    EXPECT_EQ(root.readFile("dev/ttyFILE"), "keep me");
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/dev/ttyNOPE"));
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/dev/ttyS6"));
}

TEST(Lifecycle, ACharacterDeviceThatIsNoTerminalIsRefused)
{
    TComPort port;
    port.setPort("/dev/null");
    EXPECT_EQ(openError(port), ENOTTY);
}

TEST(Lifecycle, AnOpenPortCannotBeOpenedAgainFromAnotherDescriptorOrProcess)
{
    PtyPair pty;
    TComPort first;
    first.setEvents({});
    first.setPort(pty.slavePath());
    first.openPort();

    TComPort second;
    second.setPort(pty.slavePath());
    EXPECT_EQ(openError(second), EBUSY);

    const pid_t child = ::fork();
    if (child == 0) {
        auto device = makeLinuxComDevice();
        ::_exit(device->open(pty.slavePath()));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EBUSY);

    first.closePort();
    EXPECT_EQ(openError(second), 0);
}

TEST(Lifecycle, SettingsChangedOnAnOpenPortReSetTheWholeRecord)
{
    PtyPair pty;
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.setBaudRate(br115200);
    port.FlowControl().setFlowControl(fcHardware);
    port.openPort();
    TTermiosImage t = deviceTermios(port);
    EXPECT_EQ(t.ospeed, 115200u);
    EXPECT_EQ(t.cflag & CBAUD, unsigned(BOTHER));
    EXPECT_NE(t.cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.cflag & HUPCL, 0u);
    EXPECT_EQ(t.lflag & (ICANON | ECHO | ISIG), 0u);

    // Someone else changes the line; the next baud change restores every other field too.
    t.cflag &= ~(CRTSCTS | CSTOPB);
    t.iflag |= ICRNL;
    ASSERT_EQ(writeTermios(port.deviceHandle(), t), 0);
    port.setStopBits(sbTwoStopBits);
    port.setBaudRate(brCustom);
    port.setCustomBaudRate(12345);
    t = deviceTermios(port);
    EXPECT_EQ(t.ispeed, 12345u);
    EXPECT_EQ(t.ospeed, 12345u);
    EXPECT_NE(t.cflag & CRTSCTS, 0u);
    EXPECT_NE(t.cflag & CSTOPB, 0u);
    EXPECT_EQ(t.iflag & ICRNL, 0u);

    port.Parity().setBits(prMark); // pseudo-terminals keep CMSPAR and PARODD, not PARENB
    t = deviceTermios(port);
    EXPECT_NE(t.cflag & CMSPAR, 0u);
    EXPECT_NE(t.cflag & PARODD, 0u);
}

TEST(Lifecycle, ACustomRateReachesTheDeviceAtOpen)
{
    PtyPair pty;
    TComPort port;
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.setBaudRate(brCustom);
    port.setCustomBaudRate(250000);
    port.openPort();
    EXPECT_EQ(deviceTermios(port).ospeed, 250000u);
}

TEST(Lifecycle, RefusedSettingsReleaseTheDeviceAndLeaveThePortClosed)
{
    struct Case {
        const char* operation;
        int code;
    };
    for (const Case& c :
        { Case { "setLineSettings", 7 }, { "setTimeouts", 8 }, { "setQueueSizes", 9 } }) {
        auto script = std::make_shared<FakeScript>();
        TComPort port(std::make_unique<FakeComDevice>(script));
        std::vector<std::string> log;
        recordNotifications(port, log);
        script->refuse(c.operation, EIO);
        try {
            port.openPort();
            ADD_FAILURE() << c.operation;
        } catch (const EComPort& e) {
            EXPECT_EQ(e.errorCode(), c.code);
            EXPECT_EQ(e.systemError(), EIO);
        }
        EXPECT_FALSE(port.Connected());
        EXPECT_FALSE(script->open);
        EXPECT_EQ(script->callCount("release"), 1) << c.operation;
        EXPECT_EQ(log, std::vector<std::string> { "BeforeOpen" });
    }
}

TEST(Lifecycle, ConfigurationOrderAndTheRefusedLineQuery)
{
    auto script = std::make_shared<FakeScript>();
    TComPort port(std::make_unique<FakeComDevice>(script));
    port.setEvents({});
    script->refuse("modemStatus", EIO);
    try {
        port.openPort();
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 11);
    }
    // The line query comes after the port is open and configured: it stays open.
    EXPECT_TRUE(port.Connected());
    const auto calls = script->takeCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 4),
        (std::vector<std::string> { "open", "setQueueSizes", "setLineSettings", "setTimeouts" }));
}

TEST(Lifecycle, AFailedAbortLeavesThePortOpen)
{
    auto script = std::make_shared<FakeScript>();
    TComPort port(std::make_unique<FakeComDevice>(script));
    port.setEvents({});
    port.openPort();
    script->refuse("purge3", EIO);
    try {
        port.closePort();
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 5);
    }
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(script->open);
    script->refusals.clear();
    port.closePort();
    EXPECT_FALSE(script->open);
}
