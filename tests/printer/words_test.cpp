// What people read: the summary of a report after a press or a query, and the permission hint.
#include "platform/Exception.h"
#include "printer/PermissionHint.h"
#include "printer/StatusSummary.h"
#include "serial/CPort.h"
#include "support/TempDir.h"

#include <cerrno>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace printer;
using escpos::StatusQuery;

namespace {

StatusReading answered(StatusQuery query, std::uint8_t reply)
{
    StatusReading reading { query, Outcome::NotStatus, reply, {} };
    if (const auto decoded = escpos::decodeStatus(query, reply)) {
        reading.outcome = Outcome::Answered;
        reading.conditions = *decoded;
    }
    return reading;
}

StatusReading unanswered(StatusQuery query)
{
    return { query, Outcome::NoAnswer, 0, {} };
}

} // namespace

TEST(StatusSummary, SaysWhatTheRepliesSayAndNothingMore)
{
    const struct {
        std::vector<StatusReading> readings;
        const char* words;
    } cases[] = {
        { { answered(StatusQuery::Printer, 0x12), answered(StatusQuery::PaperSensor, 0x12) },
            "printer online, paper OK" },
        { { answered(StatusQuery::Printer, 0x1A), answered(StatusQuery::PaperSensor, 0x7E) },
            "printer offline, paper end" },
        { { answered(StatusQuery::Printer, 0x12), answered(StatusQuery::PaperSensor, 0x1E) },
            "printer online, paper near end" },
        { { unanswered(StatusQuery::Printer), unanswered(StatusQuery::PaperSensor) },
            "printer: no answer, paper: no answer" },
        { { answered(StatusQuery::Printer, 0x41), answered(StatusQuery::PaperSensor, 0x12) },
            "printer: not an ESC/POS status (0x41), paper OK" },
        { { answered(StatusQuery::Printer, 0x1A), answered(StatusQuery::OfflineCause, 0x16),
              answered(StatusQuery::ErrorCause, 0x1A), answered(StatusQuery::PaperSensor, 0x12) },
            "printer offline, paper OK, cover open, cutter error" },
    };
    for (const auto& c : cases) {
        PrinterReport report;
        report.status = c.readings;
        EXPECT_EQ(statusSummary(report), c.words);
    }
    PrinterReport healthy;
    healthy.status = cases[0].readings;
    EXPECT_EQ(pressSummary(4, healthy), "sent 4 bytes, printer online, paper OK");
    EXPECT_EQ(pressSummary(1, {}), "sent 1 byte");
}

TEST(PermissionHint, NamesTheOwningGroupAndHowToJoinIt)
{
    testsupport::TempDir dir;
    dir.writeFile("ttyUSB0", "");
    const std::string path = dir.file("ttyUSB0");
    // The group of the test: any group the system has a name for serves.
    const group* owner = ::getgrgid(::getgid());
    ASSERT_TRUE(owner);
    const std::string name = owner->gr_name;
    ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), owner->gr_gid), 0);
    EXPECT_EQ(withPermissionHint("Unable to open com port", path),
        "Unable to open com port\nThe device " + path + " belongs to the group \"" + name
            + "\": join it with \"sudo usermod -aG " + name + " $USER\", then log in again.");
    EXPECT_EQ(withPermissionHint("File access denied", dir.file("missing")), "File access denied");
}

namespace {

struct PortConnection : printer::PrinterConnection {
    bool isChecked(printer::Connection c) const override { return c == printer::Connection::Com; }
    std::string lptDeviceName() const override { return "LPT1"; }
    cport::TCustomComPort& comPort() const override { return port; }
    std::string networkAddress() const override { return {}; }
    mutable cport::TComPort port;
};

std::string failureOf(
    const printer::PrinterConnection& connection, const std::function<void()>& action)
{
    try {
        runWithPermissionHint(connection, action);
    } catch (const platform::Exception& error) {
        return error.message();
    }
    return "no failure";
}

} // namespace

TEST(PermissionHint, OnlyARefusedOpenGetsTheHint)
{
    testsupport::TempDir dir;
    dir.writeFile("ttyS9", "");
    PortConnection connection;
    connection.port.setPort(dir.file("ttyS9"));
    const std::string refused
        = failureOf(connection, [] { throw cport::EComPort(cport::ecOpenFailed, EACCES); });
    EXPECT_EQ(refused.substr(0, refused.find('\n')),
        cport::EComPort(cport::ecOpenFailed, EACCES).message());
    EXPECT_NE(refused.find("\nThe device " + dir.file("ttyS9") + " belongs to the group"),
        std::string::npos);
    // Not a lack of permission, or not the open: the failure passes as it is.
    EXPECT_EQ(failureOf(connection, [] { throw cport::EComPort(cport::ecOpenFailed, ENOENT); }),
        cport::EComPort(cport::ecOpenFailed, ENOENT).message());
    EXPECT_EQ(failureOf(connection, [] { throw cport::EComPort(cport::ecWriteFailed, EACCES); }),
        cport::EComPort(cport::ecWriteFailed, EACCES).message());
    EXPECT_EQ(failureOf(connection, [] { throw platform::EInOutError(2, "File not found"); }),
        "File not found");
    EXPECT_EQ(failureOf(connection, [] {}), "no failure");
}
