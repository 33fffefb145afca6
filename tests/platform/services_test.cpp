// Device paths, I/O error codes, the default error report and the host address list.
#include "platform/ErrorReport.h"
#include "platform/Exception.h"
#include "platform/HostAddresses.h"
#include "platform/IoError.h"
#include "platform/LptDevice.h"
#include "platform/MessageBoxes.h"
#include "support/TempDir.h"

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>

using namespace platform;

TEST(LptDevice, MapsNamesBelowTheSystemRoot)
{
    testsupport::TestSysRoot root;
    EXPECT_EQ(lptDevicePath("LPT1"), root.path() + "/dev/lp0");
    EXPECT_EQ(lptDevicePath("lpt4"), root.path() + "/dev/lp3");
    EXPECT_EQ(lptDevicePath("LPT5"), root.path() + "/dev/LPT5");
    EXPECT_EQ(lptDevicePath(""), "");
    // A path is the user's own choice: never moved below the system root.
    EXPECT_EQ(lptDevicePath("/dev/usb/lp0"), "/dev/usb/lp0");
    root.writeFile("dev/usb/lp1", "");
    EXPECT_EQ(lptDevicePath("LPT2"), root.path() + "/dev/usb/lp1");
    root.writeFile("dev/lp1", "");
    EXPECT_EQ(lptDevicePath("LPT2"), root.path() + "/dev/lp1");
}

TEST(IoError, CodesAndTexts)
{
    EXPECT_EQ(ioCodeFromErrno(ENOENT), 2);
    EXPECT_EQ(ioCodeFromErrno(ENAMETOOLONG), 3);
    EXPECT_EQ(ioCodeFromErrno(ENFILE), 4);
    EXPECT_EQ(ioCodeFromErrno(EROFS), 5);
    EXPECT_EQ(ioCodeFromErrno(ENOSPC), 101);
    EXPECT_EQ(ioCodeFromErrno(EIO), 31);
    EXPECT_EQ(ioCodeFromErrno(EPIPE), EPIPE);
    EXPECT_EQ(ioErrorMessage(2), "File not found");
    EXPECT_EQ(ioErrorMessage(105), "I/O error 105");
    try {
        raiseInOutError(101);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.errorCode(), 101);
        EXPECT_STREQ(e.what(), "Disk full");
    }
}

TEST(ErrorReport, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(errorReportText("File not found"), "File not found.");
    EXPECT_EQ(errorReportText("Done."), "Done.");
    EXPECT_EQ(errorReportText("(x)"), "(x)");
    EXPECT_EQ(errorReportText("code: 2"), "code: 2.");
    EXPECT_EQ(errorReportText(""), "");
    EXPECT_EQ(errorReportText("\xE9"), "\xE9.");
}

TEST(ErrorReport, ShowsErrorsAndSwallowsTheSilentKind)
{
    RecordingMessageService boxes;
    setApplicationTitle("Quillet v1.0");
    runReported([] { raiseInOutError(2); });
    runReported([] { throw EAbort("quiet"); });
    runReported([] { throw 42; });
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.boxes()[0].caption, "Quillet v1.0");
    EXPECT_EQ(boxes.boxes()[0].text, "File not found.");
}

TEST(ErrorReport, ApplicationErrorNamesClassModuleAndMessage)
{
    const EReadError error("Error reading X.Y: boom");
    const std::string text = applicationErrorText(error, "quillet", nullptr);
    EXPECT_EQ(text.rfind("Exception EReadError in module quillet at ", 0), 0u);
    EXPECT_NE(text.find(" at "), std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n') + 1), "Error reading X.Y: boom");
}

TEST(HostAddresses, ListsDottedIPv4AddressesOnly)
{
    std::vector<std::string> lines { "stale" };
    listHostAddresses(lines);
    for (const auto& line : lines) {
        in_addr parsed;
        EXPECT_EQ(inet_pton(AF_INET, line.c_str(), &parsed), 1) << line;
    }
    EXPECT_TRUE(lines.empty() || lines[0] != "stale");
}
