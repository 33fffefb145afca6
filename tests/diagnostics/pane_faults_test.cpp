// The printer pane, offscreen, against printers that misbehave: one that answers late (an
// independent responder), presses that fail part-way, lights left from earlier rounds, a held
// serial port whose device goes away and comes back, a question cancelled while it waits.
#include "diagnostics/Transcript.h"
#include "printer/PressWait.h"
#include "printer/TestActions.h"
#include "serial/CPort.h"
#include "serial/ctl/QtSyncWakeUp.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/diagnostics/PaneTest.h"
#include "tests/printer/LateResponder.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace diagnostics;
using testsupport::kCut;
using testsupport::PaneTest;
using testsupport::ScriptedPrinter;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// The note rows of the transcript, in order.
std::vector<std::string> notes(const Transcript& transcript)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < transcript.rowCount(); ++i)
        if (transcript.row(i).bytes.empty() || transcript.row(i).direction == Direction::Received)
            found.emplace_back(transcript.row(i).name);
    return found;
}

// An operator who reads each box for a while before closing it.
class SlowOperator : public platform::RecordingMessageService {
public:
    void show(
        platform::MessageKind kind, const std::string& caption, const std::string& text) override
    {
        std::this_thread::sleep_for(milliseconds(400));
        RecordingMessageService::show(kind, caption, text);
    }
};

// A printer on address:9100 that takes `limit` bytes of one connection and then goes away.
class ClosingPrinter {
public:
    ClosingPrinter(const std::string& address, std::size_t limit)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons(9100);
        ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
            || ::listen(m_listener, 1) != 0)
            throw std::runtime_error("cannot listen on " + address);
        m_thread = std::thread([this, limit] {
            const int client = ::accept(m_listener, nullptr, nullptr);
            std::vector<char> buffer(65536);
            for (std::size_t got = 0; client >= 0 && got < limit;) {
                const ssize_t n
                    = ::read(client, buffer.data(), std::min(buffer.size(), limit - got));
                if (n <= 0)
                    break;
                got += static_cast<std::size_t>(n);
            }
            const linger reset { 1, 0 }; // gone at once, as a printer switched off
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(client);
        });
    }
    ~ClosingPrinter()
    {
        m_thread.join();
        ::close(m_listener);
    }

private:
    int m_listener = -1;
    std::thread m_thread;
};

// The colour painted at the middle of a light's dot.
QColor dotColour(StatusLight& light)
{
    const QImage picture = light.grab().toImage();
    return picture.pixelColor(6, picture.height() / 2);
}

} // namespace

TEST_F(PaneTest, AnOfflinePrinterAnsweringLateLightsNothingAndTheTranscriptNamesItsLateReplies)
{
    testsupport::LateResponder printer(
        "127.0.117.61", 600, testsupport::LateResponder::offlinePrinter());
    connection.address = "127.0.117.61";
    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty());
    for (const char* key : { "online", "cover-open", "feed-button", "paper-near-end", "paper-end",
             "cutter-error", "model" })
        EXPECT_EQ(light(key).lamp(), Lamp::Grey) << key << ": " << light(key).words().toStdString();
    EXPECT_EQ(light("model").words(), "model: no answer");
    const auto found = notes(pane.transcript().transcript());
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0], "late reply to DLE EOT 1");
    EXPECT_TRUE(summary().contains("late repl")) << summary().toStdString();
}

TEST_F(PaneTest, APressWithNobodyListeningRecordsNothingSentAndIsTimedAtThePress)
{
    SlowOperator slow;
    connection.address = "127.0.117.62";
    const auto pressed = Transcript::Clock::now();
    sendPress(kCut);
    ASSERT_EQ(slow.boxes().size(), 1u);
    EXPECT_EQ(slow.boxes()[0].text, "Connect error");
    const auto& transcript = pane.transcript().transcript();
    EXPECT_EQ(transcript.byteCount(), 0u);
    ASSERT_EQ(transcript.rowCount(), 1u);
    EXPECT_EQ(transcript.row(0).name, "Connect error: none of 4 bytes delivered");
    // Shown at the press, not once the operator had closed the box.
    EXPECT_LT(transcript.row(0).time - pressed, milliseconds(300));
}

TEST_F(PaneTest, APrinterThatGoesAwayMidPressKeepsOnlyTheDeliveredBytes)
{
    ClosingPrinter printer("127.0.117.63", 100000);
    connection.address = "127.0.117.63";
    const std::string job = printer::printTestBytes(std::string(10611224, 'Q'));
    ASSERT_EQ(job.size(), 10611230u);
    sendPress(job);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Send error");
    const auto& transcript = pane.transcript().transcript();
    // What the printer's end acknowledged, not what it read: acknowledgements of the last bytes
    // read may still be on their way when it goes, and bytes taken but never read count too.
    const auto delivered = transcript.byteCount();
    EXPECT_GT(delivered, 0u);
    EXPECT_LT(delivered, job.size());
    std::ostringstream sent;
    transcript.writeSentBytes(sent);
    EXPECT_EQ(sent.str(), job.substr(0, delivered));
    const auto found = notes(transcript);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rfind("Send error after ", 0), 0u) << found[0];
    EXPECT_NE(found[0].find(" of 10 611 230 bytes"), std::string::npos) << found[0];
    EXPECT_EQ(summary().toStdString(), found[0]);
}

TEST_F(PaneTest, LightsOfAnEarlierRoundAgeAndSwitchingOrFailingClearsThem)
{
    auto coverOpen = ScriptedPrinter::onTcp("127.0.117.64");
    coverOpen->answerAsHealthyPrinter();
    coverOpen->answer("\x10\x04\x01", "\x1A");
    coverOpen->answer("\x10\x04\x02", "\x16");
    connection.address = "127.0.117.64";
    pane.show(); // the dots are painted
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    click("QueryStatus");
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Red);
    EXPECT_EQ(dotColour(light("cover-open")), QColor(0xd0, 0x30, 0x30));

    // The cover is shut: the press's question asks only DLE EOT 1 and 4.
    coverOpen->answer("\x10\x04\x01", "\x12");
    coverOpen->answer("\x10\x04\x02", "\x12");
    pane.findChild<QCheckBox*>("StatusAfterPress")->setChecked(true);
    sendPress(kCut);
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
    EXPECT_EQ(dotColour(light("online")), QColor(0x2e, 0x9e, 0x3e));
    EXPECT_EQ(light("cover-open").lamp(), Lamp::Grey);
    EXPECT_TRUE(light("cover-open").words().startsWith("cover open: yes (as of "))
        << light("cover-open").words().toStdString();
    EXPECT_EQ(dotColour(light("cover-open")), QColor(0xa0, 0xa0, 0xa0));

    pane.connectionChanged();
    for (const char* key : { "online", "cover-open", "model" })
        EXPECT_TRUE(light(key).words().endsWith(": not asked")) << key;

    click("QueryStatus");
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
    connection.address = "127.0.117.65"; // nobody there: the question fails
    click("QueryStatus");
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(light("online").words(), "online: not asked");
    EXPECT_EQ(summary(), "query failed");
}

TEST_F(PaneTest, AQuestionIsCancelledAtOnce)
{
    testsupport::TcpListener silent("127.0.117.66", 9100);
    connection.address = "127.0.117.66";
    pane.findChild<QSpinBox*>("AnswerLimit")->setValue(5000);
    printer::setWaitHook([] { QCoreApplication::processEvents(); });
    QString during;
    QTimer::singleShot(300, [&] {
        during = pane.findChild<QPushButton*>("QueryStatus")->text();
        click("QueryStatus");
    });
    const auto start = Clock::now();
    click("QueryStatus");
    const auto took = Clock::now() - start;
    printer::setWaitHook({});
    EXPECT_EQ(during, "Cancel");
    EXPECT_GE(took, milliseconds(300));
    EXPECT_LT(took, milliseconds(1500));
    EXPECT_EQ(summary(), "query cancelled");
    EXPECT_EQ(pane.findChild<QPushButton*>("QueryStatus")->text(), "Query status");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(PaneTest, GarbageForTheModelIsGreyAndKeepPortOpenIsForSerialPortsOnly)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.67");
    printer->answerAsHealthyPrinter();
    printer->answer("\x1D\x49\x01", "\xFF");
    printer->answer("\x1D\x49\x02", std::string(1, '\0'));
    printer->answer("\x1D\x49\x03", std::string(1, '\0'));
    connection.address = "127.0.117.67";
    click("QueryStatus");
    EXPECT_EQ(light("model").lamp(), Lamp::Grey);
    EXPECT_EQ(light("model").words(), "model: not a printer ID (0xFF)");
    EXPECT_FALSE(pane.findChild<QCheckBox*>("KeepPortOpen")->isEnabled());
}

namespace {

class HeldPortTest : public PaneTest {
protected:
    // The printer's device under one name, as a udev link would keep it.
    void plugIn()
    {
        printer = ScriptedPrinter::onPty();
        printer->answerAsHealthyPrinter();
        std::filesystem::remove(link);
        std::filesystem::create_symlink(printer->slavePath(), link);
    }
    bool switchTurnsOff()
    {
        auto* box = pane.findChild<QCheckBox*>("KeepPortOpen");
        for (int i = 0; i < 300 && box->isChecked(); ++i)
            QTest::qWait(10);
        return !box->isChecked();
    }

    cport::QtSyncWakeUp wakeUp;
    testsupport::TempDir dir;
    std::string link = dir.file("ttyPrinter");
    std::unique_ptr<ScriptedPrinter> printer;
};

} // namespace

TEST_F(HeldPortTest, AHeldPortWhoseDeviceGoesAwayIsClosedAndOpenedAfreshWhenItReturns)
{
    plugIn();
    connection.chosen = printer::Connection::Com;
    connection.port->setPort(link);
    pane.connectionChanged();
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_TRUE(connection.port->Connected());

    printer.reset(); // unplugged: the far end is gone
    ASSERT_TRUE(switchTurnsOff());
    EXPECT_FALSE(connection.port->Connected());
    EXPECT_EQ(light("CTS").words(), "CTS: port closed (device gone)");

    plugIn(); // back under the same name
    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes()[0].text;
    EXPECT_EQ(light("online").lamp(), Lamp::Green);
}
