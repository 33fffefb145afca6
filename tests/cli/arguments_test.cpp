// The command line of quillet-send taken apart: what runs, and the one-line refusals of what
// cannot run, before anything is opened.
#include "cli/Arguments.h"
#include "cli/SerialArgument.h"
#include "cli/UsageError.h"
#include "serial/CPort.h"
#include "serial/core/ComConversions.h"

#include <gtest/gtest.h>

using namespace cli;
using printer::Connection;

using Words = std::vector<std::string>;

TEST(Arguments, ConnectionsCommandsAndOptionsInAnyOrder)
{
    auto invocation = parseArguments({ "--net", "127.0.0.1", "cut" });
    EXPECT_EQ(invocation.action, Action::Cut);
    ASSERT_TRUE(invocation.target);
    EXPECT_EQ(invocation.target->kind, Connection::Ethernet);
    EXPECT_EQ(invocation.target->address, "127.0.0.1");

    invocation = parseArguments({ "status", "--json", "--net=127.0.0.010:9100", "--timeout=250" });
    EXPECT_EQ(invocation.action, Action::Status);
    EXPECT_TRUE(invocation.json);
    EXPECT_EQ(invocation.target->address, "127.0.0.10");
    EXPECT_EQ(invocation.timeout, std::chrono::milliseconds(250));
    EXPECT_EQ(invocation.wait, std::chrono::milliseconds(0));
    EXPECT_EQ(parseArguments({ "--lpt", "LPT1", "--wait=5", "cut" }).wait,
        std::chrono::milliseconds(5000));

    invocation = parseArguments({ "--lpt", "/dev/usb/lp0", "--hex", "raw", "-" });
    EXPECT_EQ(invocation.action, Action::Raw);
    EXPECT_EQ(invocation.target->lptDevice, "/dev/usb/lp0");
    EXPECT_TRUE(invocation.hex);
    EXPECT_EQ(invocation.operand, "-");

    // "--" lets a text that begins with a dash follow.
    invocation
        = parseArguments({ "--lpt", "LPT2", "--encoding", "CP437", "print-test", "--", "-5 °C" });
    EXPECT_EQ(invocation.operand, "-5 °C");
    EXPECT_EQ(invocation.encoding, "CP437");

    invocation = parseArguments({ "--net", "127.0.0.1", "status", "--watch=30" });
    EXPECT_EQ(invocation.watch, std::chrono::seconds(30));
    invocation = parseArguments({ "--com", "ttyS0", "recover", "--clear", "--json" });
    EXPECT_EQ(invocation.action, Action::Recover);
    EXPECT_TRUE(invocation.clearBuffers);
    EXPECT_FALSE(parseArguments({ "--net", "127.0.0.1", "recover" }).clearBuffers);

    EXPECT_EQ(parseArguments({ "--list" }).action, Action::List);
    // As GNU tools do, --help answers whatever else the line holds after it.
    EXPECT_EQ(parseArguments({ "--help", "--bogus" }).action, Action::Help);
    EXPECT_EQ(parseArguments({ "-h" }).action, Action::Help);
    EXPECT_EQ(parseArguments({ "--net", "127.0.0.1", "cut", "-h" }).action, Action::Help);
    EXPECT_EQ(parseArguments({ "--version" }).action, Action::Version);
}

TEST(Arguments, RefusesInOneLineWhatCannotRun)
{
    const std::vector<std::pair<Words, std::string>> refused {
        { { "--net", "127.0.0.1", "--frobnicate", "cut" }, "unknown option '--frobnicate'" },
        { { "--net", "127.0.0.1", "shred" }, "unknown command 'shred'" },
        { { "--net", "127.0.0.1" }, "no command given" },
        { { "cut" }, "no connection given" },
        { { "--net", "127.0.0.1", "--lpt", "LPT1", "cut" }, "choose one connection" },
        { { "--net", "256.0.0.1", "cut" }, "invalid IPv4 address '256.0.0.1'" },
        { { "--net", "127.0.0", "cut" }, "invalid IPv4 address" },
        { { "--net", "127.0.0.1.5", "cut" }, "invalid IPv4 address" },
        { { "--net", "127.0.0.+1", "cut" }, "invalid IPv4 address" },
        { { "--net", "127.0.0.0001", "cut" }, "invalid IPv4 address" },
        { { "--net", "127.0.0.1:9101", "cut" }, "port '9101'" },
        { { "--com", "ttyUSB0:0", "cut" }, "invalid baud rate '0'" },
        { { "--com", "ttyUSB0:19k2", "cut" }, "invalid baud rate '19k2'" },
        { { "--com", "ttyUSB0:4000001", "cut" }, "invalid baud rate" },
        { { "--com", "ttyUSB0:9600,9N1", "cut" }, "invalid framing or flow control '9N1'" },
        { { "--com", "ttyUSB0:9600,8X1", "cut" }, "invalid framing" },
        { { "--com", "ttyUSB0:9600,8N3", "cut" }, "invalid framing" },
        { { "--com", "ttyUSB0:9600,8N1,cts", "cut" }, "invalid framing or flow control 'cts'" },
        { { "--com", "ttyUSB0:9600,", "cut" }, "missing framing" },
        { { "--com", "ttyUSB0:9600,none,rtscts", "cut" },
            "conflicting flow controls 'none' and 'rtscts'" },
        { { "--com", "ttyUSB0:9600,xonxoff,8N1,xonxoff", "cut" }, "conflicting flow controls" },
        { { "--com", "ttyUSB0:9600,8N1,7E1", "cut" }, "conflicting framings '8N1' and '7E1'" },
        { { "--com", ":9600", "cut" }, "needs a port name" },
        { { "--lpt", "", "cut" }, "--lpt needs a device" },
        { { "--net", "127.0.0.1", "--timeout", "0", "status" }, "invalid time limit '0'" },
        { { "--net", "127.0.0.1", "--timeout", "-5", "status" }, "invalid time limit" },
        { { "--net", "127.0.0.1", "status", "--timeout" }, "option '--timeout' needs a value" },
        { { "--net", "127.0.0.1", "--json", "cut" }, "--json applies to the status and recover" },
        { { "--net", "127.0.0.1", "--timeout", "100", "cut" }, "--timeout applies to the status" },
        { { "--net", "127.0.0.1", "--timeout", "100", "status", "--watch", "5" }, "not --watch" },
        { { "--net", "127.0.0.1", "--watch", "0", "status" }, "invalid watching time '0'" },
        { { "--net", "127.0.0.1", "--watch", "86401", "status" }, "invalid watching time" },
        { { "--net", "127.0.0.1", "--watch", "5", "recover" }, "--watch applies to the status" },
        { { "--net", "127.0.0.1", "--clear", "status" }, "--clear applies to the recover" },
        { { "--net", "127.0.0.1", "--clear=1", "recover" }, "option '--clear' takes no value" },
        { { "--net", "127.0.0.1", "recover", "now" }, "unexpected argument 'now'" },
        { { "--net", "127.0.0.1", "--wait", "-1", "cut" }, "invalid waiting time '-1'" },
        { { "--net", "127.0.0.1", "--wait", "3601", "cut" }, "invalid waiting time" },
        { { "--net", "127.0.0.1", "--hex=yes", "cut" }, "option '--hex' takes no value" },
        { { "--net", "127.0.0.1", "--detach", "cut" }, "--detach applies to --usb only" },
        { { "--usb", "1-4", "--detach=yes", "cut" }, "option '--detach' takes no value" },
        { { "--net", "127.0.0.1", "--encoding", "KLINGON-8", "print-test", "x" },
            "unknown encoding 'KLINGON-8'" },
        { { "--net", "127.0.0.1", "--encoding", "CP437", "cut" }, "--encoding applies" },
        { { "--net", "127.0.0.1", "print-test" }, "print-test needs a text" },
        { { "--net", "127.0.0.1", "raw" }, "raw needs a file" },
        { { "--net", "127.0.0.1", "cut", "now" }, "unexpected argument 'now'" },
        { { "--net", "127.0.0.1", "raw", "a.bin", "b.bin" }, "unexpected argument 'b.bin'" },
        { { "--list", "--net", "127.0.0.1" }, "--list takes no connection" },
    };
    for (const auto& [words, expected] : refused) {
        try {
            parseArguments(words);
            ADD_FAILURE() << "accepted: " << testing::PrintToString(words);
        } catch (const UsageError& error) {
            EXPECT_NE(error.message().find(expected), std::string::npos)
                << error.message() << " / expected " << expected;
            EXPECT_EQ(error.message().find('\n'), std::string::npos) << error.message();
        }
    }
}

TEST(SerialArgument, PortBaudFramingAndFlow)
{
    const std::vector<std::pair<std::string, SerialSettings>> cases {
        { "ttyUSB0",
            { "ttyUSB0", 19200, cport::dbEight, cport::prNone, cport::sbOneStopBit,
                FlowControl::RtsCts } },
        { "COM2:9600",
            { "COM2", 9600, cport::dbEight, cport::prNone, cport::sbOneStopBit,
                FlowControl::RtsCts } },
        { "COM2:9600,none",
            { "COM2", 9600, cport::dbEight, cport::prNone, cport::sbOneStopBit,
                FlowControl::None } },
        { "ttyS0:115200,7E2,rtscts",
            { "ttyS0", 115200, cport::dbSeven, cport::prEven, cport::sbTwoStopBits,
                FlowControl::RtsCts } },
        { "ttyS0:2400,5s1.5",
            { "ttyS0", 2400, cport::dbFive, cport::prSpace, cport::sbOne5StopBits,
                FlowControl::RtsCts } },
        { "ttyS0:9600,xonxoff",
            { "ttyS0", 9600, cport::dbEight, cport::prNone, cport::sbOneStopBit,
                FlowControl::XonXoff } },
        // The settings follow the last colon: a path with colons keeps them.
        { "/dev/serial/by-path/pci-0:1.0-port0:31250,8O1,dtrdsr",
            { "/dev/serial/by-path/pci-0:1.0-port0", 31250, cport::dbEight, cport::prOdd,
                cport::sbOneStopBit, FlowControl::DtrDsr } },
    };
    for (const auto& [argument, expected] : cases)
        EXPECT_EQ(parseSerialArgument(argument), expected) << argument;
}

// The window's serial port object is stored with RTS/CTS handshake (RTS as handshake, CTS
// watched for output), DTR off, neither DSR nor XON/XOFF: a port named alone gets the same.
TEST(SerialArgument, ThePortAloneHasTheWindowsFlowControl)
{
    cport::TComPort port;
    applySerialSettings(parseSerialArgument("ttyS3"), port);
    EXPECT_TRUE(port.FlowControl().OutCTSFlow());
    EXPECT_EQ(port.FlowControl().ControlRTS(), cport::rtsHandshake);
    EXPECT_EQ(port.FlowControl().ControlDTR(), cport::dtrDisable);
    EXPECT_FALSE(port.FlowControl().OutDSRFlow());
    EXPECT_FALSE(port.FlowControl().XonXoffIn());
    EXPECT_FALSE(port.FlowControl().XonXoffOut());
    EXPECT_EQ(port.BaudRate(), cport::br19200);
}

TEST(SerialArgument, TheSettingsReachThePortObject)
{
    cport::TComPort port;
    applySerialSettings(parseSerialArgument("ttyS3:31250,7M2,dtrdsr"), port);
    EXPECT_EQ(port.Port(), "ttyS3");
    EXPECT_EQ(port.BaudRate(), cport::brCustom);
    EXPECT_EQ(port.CustomBaudRate(), 31250);
    EXPECT_EQ(port.DataBits(), cport::dbSeven);
    EXPECT_EQ(port.Parity().Bits(), cport::prMark);
    EXPECT_EQ(port.StopBits(), cport::sbTwoStopBits);
    EXPECT_TRUE(port.FlowControl().OutDSRFlow());
    EXPECT_EQ(port.FlowControl().ControlDTR(), cport::dtrHandshake);
    EXPECT_FALSE(port.FlowControl().OutCTSFlow());
    // Nobody watches line events on a command line: no monitor thread.
    EXPECT_TRUE(port.Events().empty());

    applySerialSettings(parseSerialArgument("ttyS3:19200,8N1,rtscts"), port);
    EXPECT_EQ(port.BaudRate(), cport::br19200);
    EXPECT_EQ(port.FlowControl().FlowControl(), cport::fcHardware);
    applySerialSettings(parseSerialArgument("ttyS3:19200,8N1,xonxoff"), port);
    EXPECT_EQ(port.FlowControl().FlowControl(), cport::fcSoftware);
    EXPECT_FALSE(port.FlowControl().OutDSRFlow());
    EXPECT_EQ(port.FlowControl().ControlDTR(), cport::TComFlowControl().ControlDTR());
}
