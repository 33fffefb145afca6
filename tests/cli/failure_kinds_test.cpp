// Why a printer could not be reached, told apart for scripts: "kind" in the status JSON for a
// busy, a missing, a refusing and a misnamed device, and --wait trying a busy serial port again
// until its holder lets go.
#include "printer/TestActions.h"
#include "support/TempDir.h"
#include "tests/cli/QuilletSend.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono;
using testsupport::ProgramResult;
using testsupport::runSend;
using testsupport::ScriptedPrinter;
using testsupport::withSysRoot;

namespace {

QJsonObject jsonOf(const ProgramResult& run)
{
    QJsonParseError error;
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return json.object();
}

// Holds the terminal as another program holding the port would: the serial component's lock.
class PortHolder {
public:
    explicit PortHolder(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0);
    }
    ~PortHolder() { release(); }
    void release()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

} // namespace

TEST(FailureKinds, TheStatusJsonSaysWhyThereIsNoAnswer)
{
    auto printer = ScriptedPrinter::onPty();
    PortHolder holder(printer->slavePath());
    testsupport::TempDir root;
    root.writeFile("notes.txt", "not a printer");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases {
        { { "--com", printer->slavePath() + ":9600" }, "busy" },
        { { "--lpt", "LPT3" }, "missing" },
        { { "--com", "ttyNOPE9" }, "missing" },
        { { "--net", "127.0.118.40" }, "refused" },
        { { "--lpt", root.file("notes.txt") }, "not-a-device" },
    };
    for (const auto& [connection, kind] : cases) {
        auto words = connection;
        words.insert(words.end(), { "status", "--json" });
        const auto run = runSend(words, withSysRoot(root));
        const auto json = jsonOf(run);
        EXPECT_EQ(json["format"].toInt(), 1);
        EXPECT_FALSE(json["ready"].toBool());
        EXPECT_EQ(json["kind"].toString().toStdString(), kind) << connection[1];
        EXPECT_FALSE(json["error"].toString().isEmpty());
        EXPECT_EQ(run.exitCode, kind == "not-a-device" ? 1 : 2) << run.err;
    }
    EXPECT_EQ(root.readFile("notes.txt"), "not a printer");
}

TEST(FailureKinds, WaitTriesABusyPortAgainUntilItIsFree)
{
    auto printer = ScriptedPrinter::onPty();
    PortHolder holder(printer->slavePath());
    const std::vector<std::string> cut { "--com", printer->slavePath() + ":9600", "cut" };

    // Without --wait one try: at once, code 2.
    auto start = steady_clock::now();
    auto run = runSend(cut);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_LT(steady_clock::now() - start, seconds(3));

    // Freed after 800 ms: the cut goes out then, well before the 20 s allowed.
    std::thread freeing([&] {
        std::this_thread::sleep_for(milliseconds(800));
        holder.release();
    });
    start = steady_clock::now();
    auto waited = cut;
    waited.insert(waited.begin(), { "--wait", "20" });
    run = runSend(waited);
    const auto took = steady_clock::now() - start;
    freeing.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(printer->received(4), printer::cutPaperBytes());
    EXPECT_GE(took, milliseconds(700));
    EXPECT_LT(took, seconds(10));
}
