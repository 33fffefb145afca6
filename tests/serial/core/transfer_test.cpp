// Moving bytes through a real pseudo-terminal: writes with their time limits, reads with the
// timeout rules, aborting, and what the links are told.
#include "FakeComDevice.h"
#include "PtyPair.h"
#include "serial/CPort.h"

#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace cport;
using namespace std::chrono_literals;
using serialtest::FakeComDevice;
using serialtest::FakeScript;
using serialtest::PtyPair;
using Clock = std::chrono::steady_clock;

namespace {

// Generous bound for anything that should return "at once" or "after a short limit".
constexpr auto watchdog = 20s;

struct PtyPort : ::testing::Test {
    PtyPair pty;
    TComPort port;
    std::mutex linksMutex; // transfers on several threads tell the links at once
    std::vector<std::string> links;
    TPortLink link;

    PtyPort()
    {
        port.setEvents({});
        port.setPort(pty.slavePath());
        link.txActivity = [this](TCustomComPort&, bool on) { note(on ? "tx on" : "tx off"); };
        link.rxActivity = [this](TCustomComPort&, bool on) { note(on ? "rx on" : "rx off"); };
        link.transmittedBytes = [this](TCustomComPort&, const void* bytes, std::int32_t count) {
            note("sent " + std::string(static_cast<const char*>(bytes), std::size_t(count)));
        };
        port.attachLink(link);
    }

    void note(const std::string& what)
    {
        std::lock_guard lock(linksMutex);
        links.push_back(what);
    }

    std::string read(std::int32_t count)
    {
        std::string out(std::size_t(count), '\0');
        out.resize(std::size_t(port.readBytes(out.data(), count)));
        return out;
    }
};

std::string sampleBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7) % 256);
    return bytes;
}

} // namespace

TEST_F(PtyPort, WriteTextSendsExactlyTheBytesZerosIncluded)
{
    port.openPort();
    const std::string receipt("\x1B@Hello\0world\r\n\x1B@\xFF", 18);
    EXPECT_EQ(port.writeText(receipt), 18);
    EXPECT_EQ(pty.receive(18), receipt);
    EXPECT_EQ(links, (std::vector<std::string> { "tx on", "sent " + receipt }));

    // More than the terminal buffers at once, drained by the far end meanwhile.
    const std::string big = sampleBytes(300000);
    auto far = std::async(std::launch::async, [&] { return pty.receive(big.size()); });
    EXPECT_EQ(port.writeText(big), std::int32_t(big.size()));
    EXPECT_EQ(far.get(), big);
}

TEST_F(PtyPort, WrittenBytesSurviveClosingAndReopeningBeforeTheFarEndReads)
{
    port.setEvents(allComEvents); // the monitor purges both queues as it ends
    port.openPort();
    port.writeText("kept");
    port.closePort();
    port.openPort();
    port.closePort();
    EXPECT_EQ(pty.receive(4), "kept");
}

TEST_F(PtyPort, AnEmptyTextIssuesNoWrite)
{
    port.openPort();
    EXPECT_EQ(port.writeText(""), 0);
    EXPECT_TRUE(links.empty());
    EXPECT_EQ(pty.receiveAvailable(), "");

    auto script = std::make_shared<FakeScript>();
    TComPort fake(std::make_unique<FakeComDevice>(script));
    fake.setEvents({});
    fake.openPort();
    EXPECT_EQ(fake.writeText(""), 0);
    EXPECT_EQ(script->callCount("write"), 0);
}

TEST_F(PtyPort, TransfersOnAClosedPortFailWithTheInvalidHandleError)
{
    struct Case {
        std::function<void()> run;
        int code;
    };
    char buffer[4];
    for (const Case& c :
        { Case { [&] { port.writeText("x"); }, 2 }, { [&] { port.readBytes(buffer, 4); }, 3 },
            { [&] { port.pendingInputCount(); }, 10 }, { [&] { port.takeLineErrors(); }, 10 },
            { [&] { port.lineSignals(); }, 11 }, { [&] { port.abortTransfers(); }, 5 } }) {
        try {
            c.run();
            ADD_FAILURE() << c.code;
        } catch (const EComPort& e) {
            EXPECT_EQ(e.errorCode(), c.code);
            EXPECT_EQ(e.systemError(), EBADF);
        }
    }
    EXPECT_TRUE(links.empty());
}

TEST_F(PtyPort, TransferOperationsWithoutARecordRaiseCodeFour)
{
    port.openPort();
    char buffer[4];
    for (const auto& run : std::initializer_list<std::function<void()>> {
             [&] { port.beginWrite("x", 1, nullptr); }, [&] { port.beginWriteText("x", nullptr); },
             [&] { port.beginRead(buffer, 4, nullptr); }, [&] { port.awaitTransfer(nullptr); } }) {
        try {
            run();
            ADD_FAILURE();
        } catch (const EComPort& e) {
            EXPECT_EQ(e.errorCode(), 4);
            EXPECT_EQ(e.systemError(), -1);
            EXPECT_STREQ(e.what(), "Invalid Async parameter");
        }
    }
}

TEST_F(PtyPort, ABlockedWriteReturnsTheShortCountAfterItsLimitWithoutAnError)
{
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(300);
    port.openPort();
    const std::string big = sampleBytes(200000); // the far end reads nothing
    const auto start = Clock::now();
    const std::int32_t written = port.writeText(big);
    const auto took = Clock::now() - start;
    EXPECT_GT(written, 0);
    EXPECT_LT(written, std::int32_t(big.size()));
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, watchdog);
    EXPECT_EQ(pty.receive(std::size_t(written)), big.substr(0, std::size_t(written)));
}

TEST_F(PtyPort, AbortEndsPendingReadsAndWritesAtOnce)
{
    port.Timeouts().setReadInterval(0);
    port.Timeouts().setReadTotalConstant(600000);
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(0); // no write limit at all
    port.openPort();
    // Both requests are issued here, before the abort; other threads wait for them.
    std::unique_ptr<TComTransfer> readRecord, writeRecord;
    newTransfer(readRecord);
    newTransfer(writeRecord);
    char buffer[10];
    const std::string big = sampleBytes(200000);
    port.beginRead(buffer, 10, readRecord.get());
    port.beginWriteText(big, writeRecord.get());
    auto reader
        = std::async(std::launch::async, [&] { return port.awaitTransfer(readRecord.get()); });
    auto writer
        = std::async(std::launch::async, [&] { return port.awaitTransfer(writeRecord.get()); });
    // Nothing can end either of them but the abort.
    EXPECT_EQ(reader.wait_for(200ms), std::future_status::timeout);
    port.abortTransfers();
    ASSERT_EQ(reader.wait_for(watchdog), std::future_status::ready);
    ASSERT_EQ(writer.wait_for(watchdog), std::future_status::ready);
    EXPECT_EQ(reader.get(), 0);
    EXPECT_LT(writer.get(), 200000);
    // Transfers started after the abort are not affected by it.
    pty.send("later");
    port.Timeouts().setReadTotalConstant(5000);
    EXPECT_EQ(read(5), "later");
}

TEST_F(PtyPort, ReadsFollowTheTimeoutRules)
{
    port.openPort();
    // Defaults: what waits, or nothing at once.
    auto start = Clock::now();
    EXPECT_EQ(read(10), "");
    EXPECT_LT(Clock::now() - start, watchdog);
    EXPECT_EQ(links, std::vector<std::string> { "rx off" });
    pty.send("abc");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(read(2), "ab");
    EXPECT_EQ(read(10), "c");

    // A total limit returns what came within it.
    port.Timeouts().setReadInterval(0);
    port.Timeouts().setReadTotalConstant(150);
    pty.send("xyz");
    start = Clock::now();
    EXPECT_EQ(read(10), "xyz");
    EXPECT_GE(Clock::now() - start, 140ms);

    // An interval limit ends the read once the bytes stop.
    port.Timeouts().setReadInterval(300);
    port.Timeouts().setReadTotalConstant(0);
    auto reader = std::async(std::launch::async, [&] { return read(100); });
    pty.send("12");
    std::this_thread::sleep_for(10ms);
    pty.send("34");
    ASSERT_EQ(reader.wait_for(watchdog), std::future_status::ready);
    EXPECT_EQ(reader.get(), "1234");

    // The wait-for-the-first-byte form returns with the first bytes, or empty after its limit.
    port.Timeouts().setReadInterval(-1);
    port.Timeouts().setReadTotalMultiplier(-1);
    port.Timeouts().setReadTotalConstant(100);
    start = Clock::now();
    EXPECT_EQ(read(10), "");
    EXPECT_GE(Clock::now() - start, 90ms);
    port.Timeouts().setReadTotalConstant(20000);
    reader = std::async(std::launch::async, [&] { return read(10); });
    pty.send("!");
    ASSERT_EQ(reader.wait_for(watchdog), std::future_status::ready);
    EXPECT_EQ(reader.get(), "!");
}

TEST_F(PtyPort, ReceivedBytesAreUnmarkedAndFiltered)
{
    port.setDiscardNull(true);
    port.openPort();
    pty.send(std::string("a\0\xFF"
                         "b\0",
        5));
    port.Timeouts().setReadInterval(0);
    port.Timeouts().setReadTotalConstant(2000);
    EXPECT_EQ(read(3),
        "a\xFF"
        "b");
    EXPECT_EQ(port.pendingInputCount(), 0);
}

TEST_F(PtyPort, ARecordServesOneTransferAtATimeAndMayBeReused)
{
    port.openPort();
    std::unique_ptr<TComTransfer> record;
    newTransfer(record);
    EXPECT_EQ(port.awaitTransfer(record.get()), 0); // nothing started: at once, links not told
    EXPECT_TRUE(links.empty());
    const std::string bytes = "reuse";
    port.beginWriteText(bytes, record.get());
    EXPECT_EQ(port.awaitTransfer(record.get()), 5);
    EXPECT_EQ(record->kind, tkWrite);
    EXPECT_EQ(std::string(record->data.get(), std::size_t(record->size)), "reuse");
    pty.send("r");
    std::this_thread::sleep_for(50ms);
    char buffer[2];
    port.beginRead(buffer, 2, record.get());
    EXPECT_EQ(port.awaitTransfer(record.get()), 1);
    EXPECT_EQ(record->kind, tkRead);
    // The read did not report the copy an earlier write left in the record.
    EXPECT_EQ(links, (std::vector<std::string> { "tx on", "sent reuse", "rx off" }));
    disposeTransfer(record);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(pty.receive(5), "reuse");
}

TEST_F(PtyPort, AHungUpLineFailsTransfersWithItsError)
{
    port.openPort();
    pty.hangUp();
    EXPECT_TRUE(port.takeLineErrors().contains(errIO));
    char buffer[4];
    try {
        port.readBytes(buffer, 4);
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 3);
        EXPECT_EQ(e.systemError(), EIO);
    }
    try {
        port.writeText("x");
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 2);
        EXPECT_EQ(e.systemError(), EIO);
    }
    port.closePort();
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyPort, TheFirstReadAfterAHangUpFails)
{
    port.openPort();
    pty.hangUp();
    // Nothing has looked at the line since: the read itself must find the hang-up.
    char buffer[4];
    try {
        port.readBytes(buffer, 4);
        FAIL() << "a read on a hung-up line reported success";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.errorCode(), 3);
        EXPECT_EQ(e.systemError(), EIO);
    }
}

TEST(Transfers, StatusQueriesMapTheDeviceFlags)
{
    auto script = std::make_shared<FakeScript>();
    TComPort port(std::make_unique<FakeComDevice>(script));
    port.setEvents({});
    port.openPort();
    script->modem = MS_CTS_ON | MS_RLSD_ON | 0x1;
    EXPECT_EQ(port.lineSignals(), (TLineSignals { lsCTS, lsRLSD }));
    script->modem = MS_DSR_ON | MS_RING_ON;
    EXPECT_EQ(port.lineSignals(), (TLineSignals { lsDSR, lsRing }));

    const std::uint32_t all
        = CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_BREAK | CE_IOE | CE_MODE | CE_RXOVER | CE_TXFULL;
    script->errors = all | 0x2000;
    EXPECT_EQ(port.takeLineErrors().bits(), 0xFF & ~(1 << errRxParity));
    port.Parity().setCheck(true);
    script->errors = all;
    EXPECT_EQ(port.takeLineErrors().bits(), 0xFF);
    EXPECT_TRUE(port.takeLineErrors().empty());

    // The input-count query clears the errors, which a later error query then misses.
    script->errors = CE_FRAME;
    script->input = "1234";
    EXPECT_EQ(port.pendingInputCount(), 4);
    EXPECT_TRUE(port.takeLineErrors().empty());
}
