// quillet-send through the libusb adapter against fake printers on umockdev's testbed: the
// listing from real descriptors, bytes on bulk OUT in order, status replies that come only
// after the question, a silent printer, a one-way printer, a printer the kernel's driver holds
// and one that is not plugged in. Runs under umockdev-wrapper; without it, skipped.
#include "FakeUsbPrinter.h"

#include "cli/ProgramRun.h"
#include "printer/TestActions.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using testsupport::runProgram;

class UsbPrinters : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_printers = testsupport::FakeUsbPrinters::create(USB_PRINTERS,
            { { "/dev/bus/usb/001/004", false }, { "/dev/bus/usb/001/006", true },
                { "/dev/bus/usb/001/007", false } },
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
    no IEEE-1284 device ID
    kernel driver: none
1-7  1fc9:2016  no serial number
    interface 0: class 07 subclass 01 protocol 02
    OUT 0x01 (64 bytes), no IN: one-way printer: no status possible
    no IEEE-1284 device ID
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

} // namespace
