// Started writes on a real pseudo-terminal: they proceed while the issuer does other things, in
// the order they were issued, with their time limits counted from issue; a record that goes
// before its write has been collected ends that write.
#include "PtyPair.h"
#include "Watchdog.h"
#include "serial/CPort.h"

#include <deque>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace cport;
using namespace std::chrono_literals;
using serialtest::PtyPair;
using serialtest::Watchdog;

namespace {

struct StartedWrites : ::testing::Test {
    PtyPair pty;
    std::deque<std::string> issued; // outlives the port and every record
    TComPort port;

    StartedWrites()
    {
        port.setEvents({});
        port.setPort(pty.slavePath());
    }

    // A record with a write of `bytes` already issued; the bytes are kept until the test ends,
    // as an issuer must keep them until the write is collected.
    std::unique_ptr<TComTransfer> issue(std::string bytes)
    {
        const std::string& kept = issued.emplace_back(std::move(bytes));
        std::unique_ptr<TComTransfer> record;
        newTransfer(record);
        port.beginWriteText(kept, record.get());
        return record;
    }
};

} // namespace

TEST_F(StartedWrites, BackToBackWritesArriveWholeInIssueOrder)
{
    port.openPort();
    const std::string as(40000, 'A');
    const std::string bs(40000, 'B');
    const auto first = issue(as);
    const auto second = issue(bs);
    // The far end reads only now: both writes went on meanwhile, one after the other.
    EXPECT_EQ(pty.receive(as.size() + bs.size(), 20s), as + bs);
    Watchdog watchdog("collecting two finished writes");
    EXPECT_EQ(port.awaitTransfer(first.get()), 40000);
    EXPECT_EQ(port.awaitTransfer(second.get()), 40000);
}

TEST_F(StartedWrites, AWriteCollectedAfterItsLimitMovedWhatTheFarEndTookMeanwhile)
{
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(1000);
    port.openPort();
    const std::string big(200000, 'x');
    auto far = std::async(std::launch::async, [&] { return pty.receive(big.size(), 20s); });
    const auto record = issue(big);
    // The issuer does other things past the limit before it collects the write.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(port.awaitTransfer(record.get()), 200000);
    EXPECT_EQ(far.get().size(), big.size());
}

TEST_F(StartedWrites, AWriteFromALinkDuringWriteTextFollowsItsBytes)
{
    port.openPort();
    const std::string big(100000, 'a'); // more than the line takes at once
    int nested = 0;
    TPortLink link;
    link.txActivity = [&](TCustomComPort& sender, bool on) {
        if (on && nested++ == 0)
            sender.writeText("after");
    };
    port.attachLink(link);
    auto far = std::async(std::launch::async, [&] { return pty.receive(big.size() + 5, 20s); });
    {
        Watchdog watchdog("writeText with a link that writes");
        EXPECT_EQ(port.writeText(big), std::int32_t(big.size()));
    }
    EXPECT_EQ(far.get(), big + "after");
    port.detachLink(link);
}

TEST_F(StartedWrites, AWriteHeldByXoffEndsAtItsLimitAndByAbort)
{
    port.FlowControl().setXonXoffOut(true);
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(300);
    port.openPort();
    pty.send("\x13"); // XOFF: the line takes no byte at all from now on
    std::this_thread::sleep_for(50ms);
    {
        Watchdog watchdog("writeText held by XOFF past its limit");
        EXPECT_EQ(port.writeText("held"), 0);
    }
    port.Timeouts().setWriteTotalConstant(0); // no limit: only the abort ends it
    const auto record = issue("held too");
    std::this_thread::sleep_for(100ms);
    {
        Watchdog watchdog("aborting a write held by XOFF");
        port.abortTransfers();
        EXPECT_EQ(port.awaitTransfer(record.get()), 0);
    }
    pty.send("\x11"); // XON
    EXPECT_EQ(pty.receiveAvailable(100ms), "");
}

TEST_F(StartedWrites, ARecordFreedBeforeCollectionEndsItsWrite)
{
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(0); // no limit: only the record's end stops it
    port.openPort();
    {
        Watchdog watchdog("freeing a record whose write cannot finish");
        auto record = issue(std::string(300000, 'x'));
        auto queued = issue(std::string(10, 'y'));
        queued.reset();
        disposeTransfer(record);
    }
    pty.receiveAvailable();
    // The port goes on: a later write arrives whole.
    EXPECT_EQ(port.writeText("after"), 5);
    EXPECT_EQ(pty.receive(5), "after");
}

TEST_F(StartedWrites, ClosingEndsWritesStillUnderWay)
{
    port.Timeouts().setWriteTotalMultiplier(0);
    port.Timeouts().setWriteTotalConstant(0);
    port.openPort();
    const auto first = issue(std::string(300000, 'x'));
    const auto second = issue(std::string(300000, 'y'));
    Watchdog watchdog("closing with writes under way");
    port.closePort();
    EXPECT_LT(port.awaitTransfer(first.get()), 300000);
    EXPECT_EQ(port.awaitTransfer(second.get()), 0);
}
