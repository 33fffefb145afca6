// The settings model: constructor values, setter rules, the flow summary, assignment, loading,
// the line-settings record and the streaming defaults.
#include "FakeComDevice.h"
#include "platform/MessageBoxes.h"
#include "serial/CPort.h"
#include "serial/core/ComStreaming.h"
#include "serial/core/DeviceRecords.h"

#include <gtest/gtest.h>
#include <map>

using namespace cport;
using serialtest::FakeComDevice;
using serialtest::FakeScript;

namespace {

struct FakeFixture : ::testing::Test {
    std::shared_ptr<FakeScript> script = std::make_shared<FakeScript>();
    TComPort port { std::make_unique<FakeComDevice>(script) };

    void openQuietly()
    {
        port.setEvents({});
        port.openPort();
        script->takeCalls();
    }
};

} // namespace

TEST(Settings, ConstructorValues)
{
    // The settings objects' values show in the line-settings record and the streaming tests.
    TComPort port;
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(port.Events(), allComEvents);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    EXPECT_EQ(port.storedGroups(), TStoredGroups { stBasic });
    EXPECT_TRUE(port.ReportRxCount());
    EXPECT_EQ(port.MonitorPriority(), tpNormal);
    EXPECT_EQ(port.deviceHandle(), -1);
    EXPECT_EQ(port.Parity().ComPort(), &port);
    EXPECT_EQ(buildTimeouts(port.Timeouts()),
        (TCommTimeouts { 0xFFFFFFFFu, 0, 0, 100, 1000 })); // -1 as the all-ones pattern
}

TEST(Settings, FlowSummaryReadsOnlyFourFields)
{
    struct Case {
        TRTSFlowControl rts;
        bool cts, xonIn, xonOut;
        TFlowControl expected;
    };
    for (const Case& c : { Case { rtsHandshake, true, false, false, fcHardware },
             { rtsDisable, false, true, true, fcSoftware },
             { rtsDisable, false, false, false, fcNone },
             { rtsDisable, false, true, false, fcCustom },
             { rtsHandshake, true, true, false, fcCustom },
             { rtsEnable, false, false, false, fcCustom },
             { rtsHandshake, false, false, false, fcCustom },
             { rtsDisable, true, false, false, fcCustom },
             { rtsToggle, false, true, true, fcCustom } }) {
        TComFlowControl flow;
        flow.setControlRTS(c.rts);
        flow.setOutCTSFlow(c.cts);
        flow.setXonXoffIn(c.xonIn);
        flow.setXonXoffOut(c.xonOut);
        // Fields outside the summary never change it.
        flow.setControlDTR(dtrHandshake);
        flow.setOutDSRFlow(true);
        flow.setTxContinueOnXoff(true);
        EXPECT_EQ(flow.FlowControl(), c.expected) << int(c.rts) << c.cts << c.xonIn << c.xonOut;
    }
}

TEST_F(FakeFixture, WritingTheSummarySetsItsPatternAndAlwaysApplies)
{
    TComFlowControl& flow = port.FlowControl();
    flow.setControlDTR(dtrHandshake);
    flow.setOutDSRFlow(true);
    flow.setDSRSensitivity(true);
    flow.setXonChar('a');
    for (TFlowControl value : { fcHardware, fcSoftware, fcNone }) {
        flow.setFlowControl(value);
        EXPECT_EQ(flow.FlowControl(), value);
        EXPECT_EQ(flow.ControlDTR(), dtrHandshake);
        EXPECT_TRUE(flow.OutDSRFlow());
        EXPECT_TRUE(flow.DSRSensitivity());
        EXPECT_EQ(flow.XonChar(), 'a');
    }
    flow.setXonXoffIn(true);
    flow.setFlowControl(fcCustom);
    EXPECT_TRUE(flow.XonXoffIn());
    EXPECT_EQ(flow.FlowControl(), fcCustom);

    openQuietly();
    flow.setFlowControl(fcCustom);
    flow.setFlowControl(fcCustom);
    EXPECT_EQ(script->callCount("setLineSettings"), 2);
}

TEST_F(FakeFixture, SettersStoreThenApplyOnlyTheirGroupAndOnlyOnChange)
{
    port.setBaudRate(br115200); // closed: stored only
    EXPECT_TRUE(script->takeCalls().empty());
    openQuietly();

    port.setBaudRate(br115200);
    port.Parity().setBits(prNone);
    port.Timeouts().setReadInterval(-1);
    port.Buffer().setInputSize(1024);
    EXPECT_TRUE(script->takeCalls().empty());

    port.setDataBits(dbSeven);
    port.Parity().setCheck(true);
    port.FlowControl().setXoffChar(20);
    port.setEventChar('\n');
    EXPECT_EQ(script->takeCalls(), std::vector<std::string>(4, "setLineSettings"));
    port.Timeouts().setWriteTotalConstant(5);
    EXPECT_EQ(script->takeCalls(), std::vector<std::string> { "setTimeouts" });
    // The queue sizes only: the XON/XOFF limits follow at the next line-settings apply.
    port.Buffer().setInputSize(4000);
    EXPECT_EQ(script->takeCalls(), std::vector<std::string> { "setQueueSizes" });
    EXPECT_EQ(script->dcb->XonLim, 256);
    port.setCustomBaudRate(12345);
    EXPECT_EQ(script->dcb->XonLim, 1000);
    script->takeCalls();
    port.setEvents({ evRxChar });
    EXPECT_TRUE(script->takeCalls().empty());
}

TEST_F(FakeFixture, ApplyFailuresRaiseTheirCodeAndKeepTheNewValue)
{
    openQuietly();
    script->refuse("setLineSettings", EINVAL);
    script->refuse("setTimeouts", EIO);
    script->refuse("setQueueSizes", ENOMEM);
    struct Case {
        std::function<void()> set;
        int code;
        int error;
    };
    for (const Case& c : { Case { [&] { port.setBaudRate(br300); }, 7, EINVAL },
             { [&] { port.Timeouts().setReadTotalConstant(9); }, 8, EIO },
             { [&] { port.Buffer().setOutputSize(8); }, 9, ENOMEM } }) {
        try {
            c.set();
            ADD_FAILURE() << "no exception for code " << c.code;
        } catch (const EComPort& e) {
            EXPECT_EQ(e.errorCode(), c.code);
            EXPECT_EQ(e.systemError(), c.error);
        }
    }
    EXPECT_EQ(port.BaudRate(), br300);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 9);
    EXPECT_EQ(port.Buffer().OutputSize(), 8);
}

TEST_F(FakeFixture, SyncMethodIsRefusedOnAnOpenPortUnlessUnchanged)
{
    port.setSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
    openQuietly();
    port.setSyncMethod(smNone);
    try {
        port.setSyncMethod(smWindowSync);
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 14);
        EXPECT_EQ(e.systemError(), -1);
        EXPECT_STREQ(e.what(), "Cannot set property while connected");
    }
    EXPECT_EQ(port.SyncMethod(), smNone);
}

TEST_F(FakeFixture, PortNamesCompareCaseSensitivelyAndReopen)
{
    port.setPort("COM3"); // closed: nothing opens
    EXPECT_TRUE(script->takeCalls().empty());
    port.setPort("COM1");
    openQuietly();
    port.setPort("COM1");
    EXPECT_TRUE(script->takeCalls().empty());
    port.setPort("com1");
    const auto calls = script->takeCalls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "purge3");
    EXPECT_EQ(calls[1], "release");
    EXPECT_EQ(calls[2], "open");
    EXPECT_TRUE(port.Connected());
}

TEST(Settings, BufferSizesRoundOddPositiveValuesDown)
{
    TComBuffer buffer;
    struct Case {
        std::int32_t set, stored;
    };
    for (const Case& c : { Case { 1025, 1024 }, { 1, 0 }, { 3, 2 }, { 0, 0 }, { -3, -3 },
             { -4, -4 }, { 2147483647, 2147483646 } }) {
        buffer.setInputSize(c.set);
        EXPECT_EQ(buffer.InputSize(), c.stored) << c.set;
    }
}

TEST_F(FakeFixture, RoundedBufferSizeComparesTheGivenValue)
{
    openQuietly();
    port.Buffer().setInputSize(3);
    port.Buffer().setInputSize(2); // equal to the stored value: nothing
    port.Buffer().setInputSize(3); // differs from the stored 2: stored and applied again
    EXPECT_EQ(script->callCount("setQueueSizes"), 2);
    EXPECT_EQ(script->inputSize, 2);
}

TEST_F(FakeFixture, WholeObjectAssignmentCopiesFieldsAndAppliesOnce)
{
    openQuietly();
    TComFlowControl flow;
    flow.setFlowControl(fcHardware);
    flow.setXonChar(1);
    flow.setXoffChar(2);
    port.setFlowControl(flow);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);
    EXPECT_EQ(port.FlowControl().XoffChar(), 2);
    EXPECT_EQ(port.FlowControl().ComPort(), &port);
    EXPECT_EQ(script->takeCalls(), std::vector<std::string> { "setLineSettings" });

    TComTimeouts timeouts;
    timeouts.setReadInterval(5);
    port.setTimeouts(timeouts);
    TComBuffer buffer;
    buffer.setOutputSize(0);
    port.setBuffer(buffer);
    EXPECT_EQ(script->takeCalls(), (std::vector<std::string> { "setTimeouts", "setQueueSizes" }));
    EXPECT_EQ(script->outputSize, 0);
}

TEST(Settings, AssigningAcrossKindsFailsWithTheToolkitMessage)
{
    TComParity parity;
    TComBuffer buffer;
    try {
        parity.assign(&buffer);
        FAIL();
    } catch (const platform::EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TComBuffer to a TComParity");
    }
    EXPECT_THROW(buffer.assign(nullptr), platform::EConvertError);
    TComParity other;
    other.setBits(prMark);
    parity.assign(&other);
    EXPECT_EQ(parity.Bits(), prMark);
    EXPECT_EQ(parity.ComPort(), nullptr);
}

TEST_F(FakeFixture, LoadingOnlyStoresAndOpensAfterwards)
{
    port.beginLoading();
    port.setConnected(true);
    port.setBaudRate(br19200);
    port.setPort("ttyS9");
    port.setSyncMethod(smNone);
    port.FlowControl().setFlowControl(fcHardware);
    EXPECT_TRUE(script->takeCalls().empty());
    port.setEvents({});
    port.endLoading();
    EXPECT_TRUE(port.Connected());
    const auto calls = script->takeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "open");
    EXPECT_EQ(script->dcb->BaudRate, 19200u);
    EXPECT_TRUE(script->dcb->fOutxCtsFlow);
}

TEST_F(FakeFixture, AFailedOpenAfterLoadingIsReportedNotRaised)
{
    platform::RecordingMessageService boxes;
    script->refuse("open", ENOENT);
    port.beginLoading();
    port.setConnected(true);
    EXPECT_NO_THROW(port.endLoading());
    EXPECT_FALSE(port.Connected());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Unable to open com port (win error code: 2)");
}

TEST(Settings, LineSettingsRecord)
{
    TComPort port;
    TDcb dcb = buildDcb(port);
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.XonLim, 256);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX || dcb.fParity || dcb.fNull);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);

    port.Parity().setReplace(true);
    port.Parity().setReplaceChar('?');
    EXPECT_FALSE(buildDcb(port).fErrorChar);
    EXPECT_EQ(buildDcb(port).ErrorChar, 0);
    port.Parity().setCheck(true);
    EXPECT_TRUE(buildDcb(port).fErrorChar);
    EXPECT_EQ(buildDcb(port).ErrorChar, '?');

    port.setBaudRate(brCustom);
    port.setCustomBaudRate(12345);
    port.setStopBits(sbOne5StopBits);
    port.setDataBits(dbFive);
    port.Parity().setBits(prSpace);
    port.FlowControl().setControlDTR(dtrHandshake);
    port.FlowControl().setControlRTS(rtsToggle);
    port.setDiscardNull(true);
    port.setEventChar('\r');
    port.Buffer().setInputSize(10);
    dcb = buildDcb(port);
    EXPECT_EQ(dcb.BaudRate, 12345u);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.ByteSize, 5);
    EXPECT_EQ(dcb.Parity, SPACEPARITY);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_HANDSHAKE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_TOGGLE);
    EXPECT_TRUE(dcb.fNull);
    EXPECT_EQ(dcb.EvtChar, '\r');
    EXPECT_EQ(dcb.XonLim, 2);
}

TEST(Settings, StreamingListsWhatDiffersFromItsDefaultInPublishedOrder)
{
    TComPort port;
    std::vector<std::string> names;
    for (const TStreamedProperty& p : streamedProperties(port))
        names.push_back(p.name);
    EXPECT_EQ(names,
        (std::vector<std::string> { "BaudRate", "Port", "Parity.Bits", "StopBits", "DataBits",
            "Events", "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow", "FlowControl.ControlDTR",
            "FlowControl.ControlRTS", "FlowControl.XonXoffOut", "FlowControl.XonXoffIn" }));

    port.setBaudRate(br19200);
    port.setPort("it's");
    port.setEvents({ evRxChar, evError });
    port.Buffer().setOutputSize(0);
    port.FlowControl().setFlowControl(fcHardware);
    port.FlowControl().setXonChar('A');
    port.Timeouts().setReadInterval(10);
    port.setSyncMethod(smNone);
    const auto props = streamedProperties(port);
    std::map<std::string, std::string> values;
    for (const TStreamedProperty& p : props)
        values[p.name] = p.value;
    EXPECT_EQ(values["BaudRate"], "br19200");
    EXPECT_EQ(values["Port"], "'it''s'");
    EXPECT_EQ(values["Events"], "[evRxChar, evError]");
    EXPECT_EQ(values["Buffer.OutputSize"], "0");
    EXPECT_EQ(values.count("Buffer.InputSize"), 0u);
    EXPECT_EQ(values["FlowControl.OutCTSFlow"], "True");
    EXPECT_EQ(values["FlowControl.ControlRTS"], "rtsHandshake");
    EXPECT_EQ(values["FlowControl.XonChar"], "'A'");
    EXPECT_EQ(values["Timeouts.ReadInterval"], "10");
    EXPECT_EQ(props.back().name, "SyncMethod");
    EXPECT_EQ(props.back().value, "smNone");
}
