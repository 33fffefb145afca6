// The pure rules of the device layer: line settings to termios2, time limits, port names to
// paths, which terminals are serial lines, the lock files' names, the input queue, and the
// error messages.
#include "serial/core/ComError.h"
#include "serial/core/ComTimeouts.h"
#include "serial/linux/ComInputQueue.h"
#include "serial/CPort.h"
#include "serial/linux/TerminalDevices.h"
#include "serial/linux/TermiosMapping.h"
#include "serial/linux/UucpLock.h"
#include "support/TempDir.h"

#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/sysmacros.h>

using namespace cport;
using std::chrono::milliseconds;

namespace {

TDcb defaultDcb()
{
    TDcb dcb;
    dcb.BaudRate = 9600;
    dcb.fBinary = true;
    dcb.ByteSize = 8;
    dcb.XonLim = dcb.XoffLim = 256;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

} // namespace

TEST(TermiosMapping, DefaultsAreRawEightNoneOneWithoutFlowControl)
{
    const TLineSetup setup = lineSetupFromDcb(defaultDcb());
    const TTermiosImage& t = setup.termios;
    EXPECT_EQ(t.cflag & CBAUD, unsigned(BOTHER));
    EXPECT_EQ(t.ispeed, 9600u);
    EXPECT_EQ(t.ospeed, 9600u);
    EXPECT_EQ(t.cflag & CSIZE, unsigned(CS8));
    EXPECT_EQ(t.cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(t.cflag & (CREAD | CLOCAL), unsigned(CREAD | CLOCAL));
    EXPECT_EQ(t.iflag, unsigned(PARMRK));
    EXPECT_EQ(t.oflag, 0u);
    EXPECT_EQ(t.lflag, 0u);
    EXPECT_EQ(t.cc[VMIN], 1);
    EXPECT_EQ(t.cc[VTIME], 0);
    EXPECT_EQ(t.cc[VSTART], 17);
    EXPECT_EQ(t.cc[VSTOP], 19);
    EXPECT_EQ(setup.bitsPerCharacter, 10);
}

TEST(TermiosMapping, EveryRecordFieldReachesTheTerminalOrTheEmulation)
{
    struct Case {
        const char* name;
        std::function<void(TDcb&)> change;
        std::function<bool(const TLineSetup&)> holds;
    };
    const auto cflag = [](const TLineSetup& s) { return s.termios.cflag; };
    const Case cases[] = {
        { "custom rate", [](TDcb& d) { d.BaudRate = 12345; },
            [](const TLineSetup& s) {
                return s.termios.ispeed == 12345 && s.termios.ospeed == 12345;
            } },
        { "odd", [](TDcb& d) { d.Parity = ODDPARITY; },
            [&](const TLineSetup& s) {
                return (cflag(s) & (PARENB | PARODD | CMSPAR)) == (PARENB | PARODD);
            } },
        { "even", [](TDcb& d) { d.Parity = EVENPARITY; },
            [&](const TLineSetup& s) {
                return (cflag(s) & (PARENB | PARODD | CMSPAR)) == PARENB;
            } },
        { "mark", [](TDcb& d) { d.Parity = MARKPARITY; },
            [&](const TLineSetup& s) {
                return (cflag(s) & (PARENB | PARODD | CMSPAR)) == (PARENB | PARODD | CMSPAR);
            } },
        { "space", [](TDcb& d) { d.Parity = SPACEPARITY; },
            [&](const TLineSetup& s) {
                return (cflag(s) & (PARENB | PARODD | CMSPAR)) == (PARENB | CMSPAR);
            } },
        { "1.5 stop bits",
            [](TDcb& d) {
                d.StopBits = ONE5STOPBITS;
                d.ByteSize = 5;
            },
            [&](const TLineSetup& s) { return (cflag(s) & (CSTOPB | CSIZE)) == (CSTOPB | CS5); } },
        { "2 stop bits", [](TDcb& d) { d.StopBits = TWOSTOPBITS; },
            [&](const TLineSetup& s) {
                return (cflag(s) & CSTOPB) != 0 && s.bitsPerCharacter == 11;
            } },
        { "5 data bits", [](TDcb& d) { d.ByteSize = 5; },
            [&](const TLineSetup& s) { return (cflag(s) & CSIZE) == CS5; } },
        { "6 data bits", [](TDcb& d) { d.ByteSize = 6; },
            [&](const TLineSetup& s) { return (cflag(s) & CSIZE) == CS6; } },
        { "7 data bits", [](TDcb& d) { d.ByteSize = 7; },
            [&](const TLineSetup& s) { return (cflag(s) & CSIZE) == CS7; } },
        { "CTS output flow",
            [](TDcb& d) {
                d.fOutxCtsFlow = true;
                d.fRtsControl = RTS_CONTROL_HANDSHAKE;
            },
            [&](const TLineSetup& s) { return (cflag(s) & CRTSCTS) && s.rtsByKernel; } },
        { "parity check", [](TDcb& d) { d.fParity = true; },
            [](const TLineSetup& s) { return (s.termios.iflag & INPCK) && s.checkParity; } },
        { "XON/XOFF out", [](TDcb& d) { d.fOutX = true; },
            [](const TLineSetup& s) { return (s.termios.iflag & IXON) != 0; } },
        { "XON/XOFF in", [](TDcb& d) { d.fInX = true; },
            [](const TLineSetup& s) { return (s.termios.iflag & IXOFF) && s.inputXonXoff; } },
        { "characters",
            [](TDcb& d) {
                d.XonChar = 'q';
                d.XoffChar = 's';
            },
            [](const TLineSetup& s) {
                return s.termios.cc[VSTART] == 'q' && s.termios.cc[VSTOP] == 's';
            } },
        { "DSR output flow", [](TDcb& d) { d.fOutxDsrFlow = true; },
            [](const TLineSetup& s) { return s.outDsrFlow; } },
        { "DSR sensitivity", [](TDcb& d) { d.fDsrSensitivity = true; },
            [](const TLineSetup& s) { return s.dsrSensitivity; } },
        { "DTR handshake", [](TDcb& d) { d.fDtrControl = DTR_CONTROL_HANDSHAKE; },
            [](const TLineSetup& s) { return s.dtrControl == DTR_CONTROL_HANDSHAKE; } },
        { "RTS toggle", [](TDcb& d) { d.fRtsControl = RTS_CONTROL_TOGGLE; },
            [](const TLineSetup& s) {
                return s.rtsControl == RTS_CONTROL_TOGGLE && !s.rtsByKernel;
            } },
        { "replace",
            [](TDcb& d) {
                d.fErrorChar = true;
                d.ErrorChar = '?';
            },
            [](const TLineSetup& s) { return s.replaceErrors && s.replaceChar == '?'; } },
        { "discard null", [](TDcb& d) { d.fNull = true; },
            [](const TLineSetup& s) { return s.discardNull; } },
        { "event char", [](TDcb& d) { d.EvtChar = '\n'; },
            [](const TLineSetup& s) { return s.eventChar == '\n'; } },
        { "limits",
            [](TDcb& d) {
                d.XonLim = 7;
                d.XoffLim = 9;
            },
            [](const TLineSetup& s) { return s.xonLimit == 7 && s.xoffLimit == 9; } },
    };
    for (const Case& c : cases) {
        TDcb dcb = defaultDcb();
        c.change(dcb);
        EXPECT_EQ(validateDcb(dcb), 0) << c.name;
        EXPECT_TRUE(c.holds(lineSetupFromDcb(dcb))) << c.name;
    }
}

TEST(TermiosMapping, RecordsTheDeviceWouldRefuse)
{
    const std::function<void(TDcb&)> refused[] = {
        [](TDcb& d) { d.BaudRate = 0; },
        [](TDcb& d) { d.BaudRate = 0x80000000u; },
        [](TDcb& d) { d.ByteSize = 4; },
        [](TDcb& d) { d.ByteSize = 9; },
        [](TDcb& d) { d.Parity = 5; },
        [](TDcb& d) { d.StopBits = 3; },
        [](TDcb& d) {
            d.fOutX = true;
            d.XoffChar = d.XonChar;
        },
        // What the line would carry differs from what was asked: two stop bits, and RTS driven
        // by the kernel's flow control instead of held.
        [](TDcb& d) { d.StopBits = ONE5STOPBITS; }, // 8 data bits
        [](TDcb& d) {
            d.StopBits = ONE5STOPBITS;
            d.ByteSize = 6;
        },
        [](TDcb& d) { d.fOutxCtsFlow = true; }, // RTS held off
        [](TDcb& d) {
            d.fOutxCtsFlow = true;
            d.fRtsControl = RTS_CONTROL_ENABLE;
        },
    };
    for (const auto& change : refused) {
        TDcb dcb = defaultDcb();
        change(dcb);
        EXPECT_EQ(validateDcb(dcb), EINVAL);
    }
    TDcb same = defaultDcb();
    same.XoffChar = same.XonChar; // harmless without XON/XOFF
    EXPECT_EQ(validateDcb(same), 0);
}

TEST(Timeouts, ReadAndWriteLimits)
{
    const std::uint32_t all = maxDword;
    struct Case {
        TCommTimeouts t;
        std::uint32_t count;
        TReadPlan expected;
    };
    const Case cases[] = {
        { { all, 0, 0, 0, 0 }, 10, { true, false, std::nullopt, std::nullopt } },
        { { all, all, 500, 0, 0 }, 10, { false, true, milliseconds(500), std::nullopt } },
        { { 0, 0, 0, 0, 0 }, 10, { false, false, std::nullopt, std::nullopt } },
        { { 20, 0, 0, 0, 0 }, 10, { false, false, std::nullopt, milliseconds(20) } },
        { { 0, 10, 100, 0, 0 }, 5, { false, false, milliseconds(150), std::nullopt } },
        { { 5, all, all, 0, 0 }, 2,
            { false, false, milliseconds(3 * 4294967295LL), milliseconds(5) } },
        { { all, 0, 300, 0, 0 }, 1,
            { false, false, milliseconds(300), milliseconds(4294967295LL) } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(readPlan(c.t, c.count), c.expected)
            << c.t.ReadIntervalTimeout << " " << c.t.ReadTotalTimeoutConstant;

    EXPECT_EQ(writeTimeLimit({ 0, 0, 0, 100, 1000 }, 5000), milliseconds(501000));
    EXPECT_EQ(writeTimeLimit({ 0, 0, 0, 0, 0 }, 5000), std::nullopt);
    EXPECT_EQ(writeTimeLimit({ 0, 0, 0, 0, 7 }, 0), milliseconds(7));
    EXPECT_EQ(writeTimeLimit({ 0, 0, 0, all, all }, all), milliseconds::max());
}

TEST(DevicePath, NamesMapBelowTheSystemRoot)
{
    testsupport::TestSysRoot root;
    const std::string dev = root.path() + "/dev/";
    struct Case {
        const char* port;
        std::string path;
    };
    for (const Case& c : { Case { "COM1", dev + "ttyS0" }, { "com2", dev + "ttyS1" },
             { "cOm10", dev + "ttyS9" }, { "COM0", dev + "COM0" }, { "COM", dev + "COM" },
             { "COM1x", dev + "COM1x" }, { "ttyUSB0", dev + "ttyUSB0" }, { "pts/3", dev + "pts/3" },
             { "/dev/pts/7", "/dev/pts/7" }, { "", dev } })
        EXPECT_EQ(comDevicePath(c.port), c.path) << c.port;
}

TEST(TerminalKinds, TheKernelsDriverTableSaysWhichTerminalsAreSerialLines)
{
    const std::string table = "/dev/tty             /dev/tty        5       0 system:/dev/tty\n"
                              "/dev/console         /dev/console    5       1 system:console\n"
                              "/dev/ptmx            /dev/ptmx       5       2 system\n"
                              "/dev/vc/0            /dev/vc/0       4       0 system:vtmaster\n"
                              "rfcomm               /dev/rfcomm   216 0-255 serial\n"
                              "usbserial            /dev/ttyUSB   188 0-511 serial\n"
                              "serial               /dev/ttyS       4 64-111 serial\n"
                              "pty_slave            /dev/pts      136 0-1048575 pty:slave\n"
                              "pty_master           /dev/ptm      128 0-1048575 pty:master\n"
                              "unknown              /dev/tty        4 1-63 console\n";
    struct Case {
        unsigned major, minor;
        TDriverListing kind;
    };
    for (const Case& c : { Case { 5, 0, TDriverListing::Other }, { 5, 1, TDriverListing::Other },
             { 5, 2, TDriverListing::Other }, { 4, 0, TDriverListing::Other },
             { 4, 1, TDriverListing::Other }, { 4, 63, TDriverListing::Other },
             { 4, 64, TDriverListing::SerialLine }, { 4, 111, TDriverListing::SerialLine },
             { 4, 112, TDriverListing::Unlisted }, { 188, 0, TDriverListing::SerialLine },
             { 216, 3, TDriverListing::SerialLine }, { 136, 7, TDriverListing::PseudoTerminal },
             { 128, 7, TDriverListing::Other }, { 1, 5, TDriverListing::Unlisted } })
        EXPECT_EQ(kindInDriverTable(table, makedev(c.major, c.minor)), c.kind)
            << c.major << ":" << c.minor;
}

TEST(LockNames, AsLockdevNamesThemFromTheDeviceThenThoseOfTheGivenPath)
{
    EXPECT_EQ(lockdevLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(lockdevLockName("/dev/pts/6"), "LCK..pts_6");
    EXPECT_EQ(lockdevLockName("/dev/serial/by-id/usb-X-port0"), "LCK..serial_by-id_usb-X-port0");
    EXPECT_EQ(lockdevLockName("/home/me/printer"), "LCK..printer");
    EXPECT_EQ(lastPartLockName("/dev/pts/6"), "LCK..6");
    using Names = std::vector<std::string>;
    EXPECT_EQ(uucpLockNames("/dev/serial/by-id/usb-X-port0", "/dev/ttyUSB0"),
        (Names { "LCK..ttyUSB0", "LCK..serial_by-id_usb-X-port0", "LCK..usb-X-port0" }));
    EXPECT_EQ(uucpLockNames("/dev/pts/6", "/dev/pts/6"), (Names { "LCK..pts_6", "LCK..6" }));
    EXPECT_EQ(uucpLockNames("/dev/ttyS0", "/dev/ttyS0"), (Names { "LCK..ttyS0" }));
    // Below a test system root, its /dev stands for the system's.
    testsupport::TestSysRoot root;
    EXPECT_EQ(lockdevLockName(root.path() + "/dev/pts/2"), "LCK..pts_2");
    EXPECT_EQ(uucpLockHolder("      1234\n"), 1234);
    EXPECT_EQ(uucpLockHolder(std::string("\x39\x30\0\0", 4)), 12345);
    EXPECT_EQ(uucpLockHolder("garbage"), 0);
}

TEST(InputQueue, UnmarksFiltersAndFindsEvents)
{
    struct Case {
        const char* name;
        std::string raw;
        TInputRules rules;
        std::string stored;
        std::uint32_t errors;
        bool eventChar, lineBreak;
    };
    TInputRules check;
    check.checkParity = true;
    TInputRules replace = check;
    replace.replaceErrors = true;
    replace.replaceChar = '?';
    TInputRules nulls;
    nulls.discardNull = true;
    nulls.eventChar = '\n';
    TInputRules counters = check;
    counters.errorsFromCounters = true;
    const Case cases[] = {
        { "plain", "abc", {}, "abc", 0, false, false },
        { "doubled 0xFF",
            std::string("a\xFF\xFF"
                        "b",
                4),
            {},
            std::string("a\xFF"
                        "b",
                3),
            0, false, false },
        { "break", std::string("a\xFF\0\0b", 5), {}, "ab", CE_BREAK, false, true },
        { "bad byte kept", std::string("\xFF\0x", 3), check, "x", CE_RXPARITY, false, false },
        { "bad byte replaced", std::string("\xFF\0x", 3), replace, "?", CE_RXPARITY, false, false },
        { "unchecked mark", std::string("\xFF\0x", 3), {}, "x", 0, false, false },
        { "nulls dropped", std::string("a\0\0\nb", 5), nulls, "a\nb", 0, true, false },
        { "zero is the event char", std::string("\0", 1), {}, std::string("\0", 1), 0, true,
            false },
        { "counters know errors", std::string("\xFF\0\0\xFF\0x", 6), counters, "x", 0, false,
            false },
    };
    for (const Case& c : cases) {
        TComInputQueue queue(64);
        const TInputFindings found = queue.append(c.raw.data(), c.raw.size(), c.rules);
        std::string out(queue.size(), '\0');
        queue.take(out.data(), out.size());
        EXPECT_EQ(out, c.stored) << c.name;
        EXPECT_EQ(found.errors, c.errors) << c.name;
        EXPECT_EQ(found.eventChar, c.eventChar) << c.name;
        EXPECT_EQ(found.lineBreak, c.lineBreak) << c.name;
        EXPECT_EQ(found.stored, !c.stored.empty()) << c.name;
    }
}

TEST(InputQueue, MarksSplitAcrossReadsAndTheEightyPercentMark)
{
    TComInputQueue queue(10);
    queue.append("\xFF", 1, {});
    EXPECT_EQ(queue.size(), 0u);
    const TInputFindings found = queue.append("\xFF"
                                              "1234567",
        8, {});
    EXPECT_TRUE(found.reached80); // 8 of 10
    EXPECT_EQ(queue.space(), 2u);
    EXPECT_FALSE(queue.append("8", 1, {}).reached80);
    char out[16];
    ASSERT_EQ(queue.take(out, 16), 9u);
    EXPECT_EQ(std::string(out, 9),
        "\xFF"
        "12345678");
    EXPECT_EQ(queue.space(), 10u);

    // Wrapping around the ring keeps the order.
    TComInputQueue ring(5000);
    std::string expected;
    for (int round = 0; round < 20; ++round) {
        std::string chunk(1000 + round, char('a' + round));
        ring.append(chunk.data(), chunk.size(), {});
        expected += chunk;
        std::string part(700, '\0');
        part.resize(ring.take(part.data(), part.size()));
        EXPECT_EQ(part, expected.substr(0, part.size()));
        expected.erase(0, part.size());
    }
}

TEST(ComErrors, MessagesWithAndWithoutTheSystemError)
{
    EXPECT_STREQ(EComPort(1, 2).what(), "Unable to open com port (win error code: 2)");
    EXPECT_STREQ(EComPort(4).what(), "Invalid Async parameter");
    EXPECT_EQ(EComPort(4).systemError(), -1);
    EXPECT_STREQ(EComPort(23, 5).what(), "Registry error (win error code: 5)");
    EXPECT_STREQ(EComPort(10, -7).what(), "ClearCommError function failed (win error code: -7)");
    EXPECT_STREQ(EComPort(0).what(), "");
    EXPECT_STREQ(EComPort(24, 1).what(), " (win error code: 1)");
    EXPECT_STREQ(EComPort(2).className(), "EComPort");
    for (int code = 1; code <= 23; ++code)
        EXPECT_FALSE(comErrorText(code).empty()) << code;
}
