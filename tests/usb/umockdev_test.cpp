// quillet-send through the libusb adapter against fake printers on umockdev's testbed: the
// listing from real descriptors, bytes on bulk OUT in order, status replies that come only
// after the question, a silent printer, a one-way printer, a printer the kernel's driver holds
// (detached only when asked, attached again after), one another program holds (named), one
// that is not plugged in and one pulled out while a question waits. Runs under
// umockdev-wrapper; without it, skipped.
#include "FakeUsbPrinter.h"

#include "cli/ProgramRun.h"
#include "printer/TestActions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

namespace {

using testsupport::runProgram;

const std::string kHeld = "/dev/bus/usb/001/005";
const std::string kSilent = "/dev/bus/usb/001/006";
// The device ID reply in the standard's form (the length counts its own two bytes) and in the
// Linux printer gadget's (it does not).
const std::string kStandardId = std::string("\x00\x21", 2) + "MFG:POS;MDL:POS-80;CMD:ESC/POS;";
const std::string kGadgetId
    = std::string("\x00\x28", 2) + "MFG:Printer;MDL:USB Printer;CMD:ESC/POS;";

class UsbPrinters : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_printers = testsupport::FakeUsbPrinters::create(USB_PRINTERS,
            { { "/dev/bus/usb/001/004", false, {} },
                { kHeld, true, {}, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-5/1-5:1.0" },
                { kSilent, true, kStandardId }, { "/dev/bus/usb/001/007", false, kGadgetId } },
            s_why);
    }
    static void TearDownTestSuite() { s_printers.reset(); }
    void SetUp() override
    {
        if (!s_printers)
            GTEST_SKIP() << s_why;
    }
    static testsupport::ProgramResult send(const std::vector<std::string>& arguments)
    {
        return runProgram(QUILLET_SEND, arguments, { {}, {}, 20000 });
    }
    // Runs the command in the background, returned once its first question reached the node.
    static std::future<testsupport::ProgramResult> sendAsking(
        const std::vector<std::string>& arguments, const std::string& node)
    {
        const std::size_t before = s_printers->received(node).size();
        auto run = std::async(std::launch::async, [arguments] { return send(arguments); });
        for (int tries = 0; tries < 500 && s_printers->received(node).size() == before; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return run;
    }

    static inline std::unique_ptr<testsupport::FakeUsbPrinters> s_printers;
    static inline std::string s_why;
};

TEST_F(UsbPrinters, ListedFromTheirDescriptors)
{
    const auto run = send({ "--list" });
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string expected = R"(USB printers:
1-4  04b8:0202  no serial number
    interface 0: class ff subclass 00 protocol 00
    OUT 0x01 (64 bytes), IN 0x82 (64 bytes): two-way
    kernel driver: none
1-5  0416:5011  no serial number
    interface 0: class 07 subclass 01 protocol 02
    OUT 0x03 (64 bytes), IN 0x81 (64 bytes): two-way
    device ID: maker "Winbond", model "POS58", command set "ESC/POS"
    kernel driver: usblp
1-6  6868:0500  no serial number
    interface 0: class 07 subclass 01 protocol 02
    OUT 0x03 (512 bytes), IN 0x84 (512 bytes): two-way
    device ID: maker "POS", model "POS-80", command set "ESC/POS"
    kernel driver: none
1-7  1fc9:2016  no serial number
    interface 0: class 07 subclass 01 protocol 02
    OUT 0x01 (64 bytes), no IN: one-way printer: no status possible
    device ID: maker "Printer", model "USB Printer", command set "ESC/POS"
    kernel driver: none
)";
    const auto at = run.out.find("USB printers:\n");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(at), expected);
}

TEST_F(UsbPrinters, BytesGoOutInOrderAndTheStatusComesAfterTheQuestion)
{
    const std::string before = s_printers->received("/dev/bus/usb/001/004");
    auto run = send({ "--usb", "04b8:0202", "cut" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = send({ "--usb", "1-4", "print-test", "Hello" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(s_printers->received("/dev/bus/usb/001/004").substr(before.size()),
        printer::cutPaperBytes() + printer::printTestBytes("Hello"));

    run = send({ "--usb", "04b8:0202", "--json", "status" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"ready\":true"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("{\"query\":\"DLE EOT 4\",\"outcome\":\"answered\",\"reply\":18}"),
        std::string::npos)
        << run.out;
}

TEST_F(UsbPrinters, SilentAndOneWayPrintersGiveNoAnswer)
{
    const auto started = std::chrono::steady_clock::now();
    auto run = send({ "--usb", "6868:0500", "--timeout", "200", "status" });
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
    // Each question is waited for 200 ms, but not for libusb's or the write's limits.
    EXPECT_GE(took, std::chrono::milliseconds(200));
    EXPECT_LT(took, std::chrono::seconds(6));

    run = send({ "--usb", "1fc9:2016", "status" });
    EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
    EXPECT_EQ(s_printers->received("/dev/bus/usb/001/007").substr(0, 3), "\x10\x04\x01");
}

TEST_F(UsbPrinters, HeldByTheKernelsDriverOrNotPluggedIn)
{
    auto run = send({ "--usb", "0416:5011", "status" });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("held by the kernel's driver usblp"), std::string::npos) << run.err;
    run = send({ "--usb", "0416:5011", "--json", "status" });
    EXPECT_NE(run.out.find("busy"), std::string::npos) << run.out;

    run = send({ "--usb", "9999:0001", "cut" });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("No USB printer 9999:0001 is plugged in (no device)"), std::string::npos)
        << run.err;
}

TEST_F(UsbPrinters, DetachedOnlyWhenAskedAndAttachedAgainAfter)
{
    auto run = send({ "--usb", "0416:5011", "cut" });
    EXPECT_NE(run.err.find("held by the kernel's driver usblp"), std::string::npos) << run.err;
    EXPECT_EQ(s_printers->received(kHeld), "");

    run = send({ "--usb", "0416:5011", "--detach", "cut" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(s_printers->received(kHeld), printer::cutPaperBytes());
    EXPECT_EQ(s_printers->driverOf(kHeld), "usblp");

    // Ending without an answer gives the driver back too.
    run = send({ "--usb", "1-5", "--detach", "--timeout", "100", "status" });
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(s_printers->driverOf(kHeld), "usblp");
}

TEST_F(UsbPrinters, AnotherProgramHoldingThePrinterIsNamed)
{
    // A second program, started through a shell under the same wrapper, holds the node open;
    // the fake printer refuses the claim meanwhile, as usbfs refuses it once that one claimed.
    // Spawned from this thread rather than run on another: with umockdev's library preloaded,
    // ThreadSanitizer took the two threads' pipes on a reused descriptor number for a race.
    const char* const holderArguments[]
        = { "sh", "-c", "exec sleep 2 < /dev/bus/usb/001/004", nullptr };
    pid_t holder = 0;
    ASSERT_EQ(::posix_spawn(&holder, "/bin/sh", nullptr, nullptr,
                  const_cast<char* const*>(holderArguments), environ),
        0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    s_printers->setClaimedElsewhere("/dev/bus/usb/001/004", true);
    const auto run = send({ "--usb", "04b8:0202", "cut" });
    s_printers->setClaimedElsewhere("/dev/bus/usb/001/004", false);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find("is busy: another program holds it (sleep (pid "), std::string::npos)
        << run.err;
    int holderStatus = -1;
    ASSERT_EQ(::waitpid(holder, &holderStatus, 0), holder);
    EXPECT_TRUE(WIFEXITED(holderStatus) && WEXITSTATUS(holderStatus) == 0);
    EXPECT_EQ(send({ "--usb", "04b8:0202", "cut" }).exitCode, 0);
}

// Last: the printer stays unplugged.
TEST_F(UsbPrinters, UnpluggedWhileAQuestionWaits)
{
    const auto started = std::chrono::steady_clock::now();
    auto waiting = sendAsking({ "--usb", "6868:0500", "--timeout", "3000", "status" }, kSilent);
    s_printers->unplug(kSilent, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6");
    const auto run = waiting.get();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.err.find("(no device)"), std::string::npos) << run.err;

    const auto list = send({ "--list" });
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out.find("6868:0500"), std::string::npos) << list.out;
}

} // namespace
