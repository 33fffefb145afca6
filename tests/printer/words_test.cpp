// What people read: the summary of a report after a press or a query, and the permission hint.
#include "platform/Exception.h"
#include "printer/PermissionHint.h"
#include "printer/StatusSummary.h"
#include "serial/CPort.h"
#include "support/TempDir.h"

#include "support/ChildProcess.h"

#include <cerrno>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <pwd.h>
#include <sys/stat.h>
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

namespace {

// The failure an unprivileged user (nobody) meets opening `device` as a serial port, with the
// hint, told back from a child process that gave up root.
std::string refusalAsNobody(const std::string& device)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = testsupport::inChild([&] {
        ::close(pipe[0]);
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || ::setgroups(0, nullptr) != 0
            || ::setresgid(nobody->pw_gid, nobody->pw_gid, nobody->pw_gid) != 0
            || ::setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) != 0)
            return false;
        cport::TComPort port;
        port.setPort(device);
        struct Chosen : printer::PrinterConnection {
            cport::TComPort& port;
            explicit Chosen(cport::TComPort& p)
                : port(p)
            {
            }
            bool isChecked(printer::Connection c) const override
            {
                return c == printer::Connection::Com;
            }
            std::string lptDeviceName() const override { return {}; }
            cport::TCustomComPort& comPort() const override { return port; }
            std::string networkAddress() const override { return {}; }
        } chosen(port);
        std::string text = "opened";
        try {
            runWithPermissionHint(chosen, [&] { port.openPort(); });
        } catch (const platform::Exception& error) {
            text = error.message();
        }
        return ::write(pipe[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    });
    ::close(pipe[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    return testsupport::succeeded(child) ? text : "the child failed: " + text;
}

} // namespace

TEST(PermissionHint, AsAnUnprivilegedUserNeverRecommendsRootOrDisk)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a device away and become nobody";
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string device = name;
    const auto ownedBy = [&](const char* groupName, mode_t mode) {
        const group* owner = ::getgrnam(groupName);
        if (!owner)
            return false;
        return ::chown(device.c_str(), 0, owner->gr_gid) == 0 && ::chmod(device.c_str(), mode) == 0;
    };
    ASSERT_TRUE(ownedBy("root", 0600));
    const std::string rootOnly = refusalAsNobody(device);
    EXPECT_EQ(rootOnly.rfind("Unable to open com port", 0), 0u) << rootOnly;
    EXPECT_NE(rootOnly.find("\nThe device " + device
                  + " may be opened by root only: give it to "
                    "the group \"dialout\" with a udev rule"),
        std::string::npos)
        << rootOnly;
    EXPECT_EQ(rootOnly.find("usermod"), std::string::npos) << rootOnly;
    if (ownedBy("disk", 0660)) {
        const std::string disk = refusalAsNobody(device);
        EXPECT_NE(disk.find("belongs to the group \"disk\", which is not meant for printers"),
            std::string::npos)
            << disk;
        EXPECT_EQ(disk.find("usermod"), std::string::npos) << disk;
    }
    if (ownedBy("dialout", 0660)) {
        EXPECT_NE(refusalAsNobody(device).find("belongs to the group \"dialout\": join it with "
                                               "\"sudo usermod -aG dialout $USER\""),
            std::string::npos);
    }
    ::close(slave);
    ::close(master);
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
    EXPECT_NE(refused.find("\nThe device " + dir.file("ttyS9") + " may be opened by root only"),
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
