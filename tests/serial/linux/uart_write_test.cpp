// The writer on a line with an output queue, on the UART model: a write counts what the driver
// took, so a caller that sends the rest after a time-out never sends a byte twice; a write
// larger than the queue waits for room; an abort and a close end a write the line holds; and
// the no-progress write rides out a held line, never cuts off a slow one and ends on a line
// held for its whole limit.
#include "PtyPair.h"
#include "UartModel.h"
#include "Watchdog.h"
#include "platform/FileDescriptor.h"
#include "serial/CPort.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace cport;
using serialtest::PtyPair;
using serialtest::UartModel;
using serialtest::Watchdog;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

std::string job(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

// A port on the model of the pseudo-terminal's line, without event monitoring.
struct UartPort : ::testing::Test {
    PtyPair pty;
    std::shared_ptr<UartModel> model;
    std::unique_ptr<TComPort> port;

    explicit UartPort(UartModel::Line line = {})
        : model(std::make_shared<UartModel>(pty.slavePath(), line))
        , port(std::make_unique<TComPort>(UartModel::device(model)))
    {
        port->setEvents({});
        port->setPort(pty.slavePath());
        port->setBaudRate(br115200);
    }

    void writeLimit(std::int32_t ms)
    {
        port->Timeouts().setWriteTotalMultiplier(0);
        port->Timeouts().setWriteTotalConstant(ms);
    }

    // Every byte that reaches the far end until it has been quiet for `quiet`.
    std::string arrivals(milliseconds quiet = milliseconds(300)) const
    {
        return pty.receiveAvailable(quiet);
    }
};

// A USB adapter: the line drains in 64-byte bursts, also between two looks at the queue.
struct UsbPort : UartPort {
    UsbPort()
        : UartPort(UartModel::Line { 4096, 11520, 64, true })
    {
    }
};

} // namespace

TEST_F(UartPort, ATimedOutWriteCountsWhatTheDriverTookSoTheRestIsNeverSentTwice)
{
    port->openPort();
    model->hold();
    writeLimit(100);
    const std::string bytes = job(30);
    const std::int32_t written = port->writeText(bytes);
    // The driver took all 30: they are written, though the held line has not sent them yet.
    EXPECT_EQ(written, 30);
    EXPECT_EQ(model->queued(), 30u);
    // The caller sends the rest, which is nothing; the line flows again.
    if (written < 30)
        port->writeText(bytes.substr(std::size_t(written)));
    model->flow();
    EXPECT_EQ(pty.receive(30), bytes);
    EXPECT_EQ(arrivals(), "");
    port->closePort();
}

TEST_F(UartPort, ACallerThatResendsTheRestGetsEveryByteOnceFromALineHeldPartOfTheTime)
{
    port->openPort();
    // A printer that holds the line 40 of every 50 ms; writes limited to 20 ms each.
    model->flowPart(milliseconds(10), milliseconds(50));
    writeLimit(20);
    const std::string bytes = job(3000);
    std::size_t sent = 0;
    {
        const Watchdog watchdog("resending the rest");
        while (sent < bytes.size())
            sent += std::size_t(port->writeText(bytes.substr(sent)));
    }
    EXPECT_EQ(sent, bytes.size());
    model->flow();
    const std::string arrived = pty.receive(bytes.size(), milliseconds(3000)) + arrivals();
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes) << "the line carried other bytes than the job";
    EXPECT_EQ(model->taken(), bytes.size());
    port->closePort();
}

TEST_F(UartPort, AWriteLargerThanTheOutputQueueWaitsForRoomAndForTheQueueToDrain)
{
    port->openPort();
    writeLimit(0); // no limit
    const std::string bytes = job(12000); // three queues' worth, about a second of line time
    std::string arrived;
    std::thread farEnd([&] { arrived = pty.receive(bytes.size(), milliseconds(10000)); });
    EXPECT_EQ(port->writeText(bytes), std::int32_t(bytes.size()));
    // writeText returns once the bytes have left the driver, not when it took the last one.
    EXPECT_EQ(model->queued(), 0u);
    farEnd.join();
    EXPECT_TRUE(arrived == bytes);
    port->closePort();
}

TEST_F(UartPort, AnAbortEndsAWriteTheLineHoldsWithTheCountTheDriverTook)
{
    port->openPort();
    model->hold();
    writeLimit(0);
    std::int32_t written = -1;
    std::thread writer([&] { written = port->writeText(job(10000)); });
    while (model->queued() < 4096)
        std::this_thread::sleep_for(milliseconds(5));
    {
        const Watchdog watchdog("aborting a held write");
        port->abortTransfers();
        writer.join();
    }
    EXPECT_EQ(written, 4096);
    port->closePort();
}

TEST_F(UartPort, ClosingDiscardsWhatAHeldLineStillQueuesAndDoesNotHang)
{
    port->openPort();
    model->hold();
    writeLimit(50);
    EXPECT_EQ(port->writeText(job(100)), 100);
    {
        const Watchdog watchdog("closing a held line");
        port->closePort();
    }
    EXPECT_EQ(model->queued(), 0u);
    EXPECT_EQ(model->flushed(), 100u);
}

TEST_F(UartPort, TheTxEmptyEventComesWhenTheQueueATimedOutWriteLeftHasDrained)
{
    std::atomic<int> empties { 0 };
    port->setEvents({ evTxEmpty });
    port->setSyncMethod(smNone);
    port->OnTxEmpty = [&](TCustomComPort&) { ++empties; };
    port->openPort();
    model->hold();
    writeLimit(50);
    EXPECT_EQ(port->writeText(job(500)), 500);
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(empties.load(), 0);
    model->flow();
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (empties.load() == 0 && Clock::now() < until)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(empties.load(), 1);
    port->closePort();
}

TEST_F(UartPort, TheProgressWriteRidesOutAHeldLineWhateverThePortsOwnLimit)
{
    port->openPort();
    writeLimit(20); // would end a plain write long before the line flows again
    model->hold();
    const std::string bytes = job(9000);
    std::thread release([&] {
        std::this_thread::sleep_for(milliseconds(300));
        model->flow();
    });
    const std::thread::id caller = std::this_thread::get_id();
    int reports = 0;
    bool elsewhere = false;
    const TWriteProgress progress = port->writeWithProgressLimit(
        bytes, milliseconds(1500),
        [&](const TWriteProgress&) {
            ++reports;
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
        },
        milliseconds(20));
    release.join();
    EXPECT_TRUE(progress.finished(bytes.size()));
    EXPECT_EQ(progress.taken, std::int32_t(bytes.size()));
    EXPECT_GE(reports, 10); // at least every 20 ms through the 300 ms hold
    EXPECT_FALSE(elsewhere) << "progress was reported on another thread";
    EXPECT_TRUE(pty.receive(bytes.size(), milliseconds(5000)) == bytes);
    EXPECT_EQ(arrivals(milliseconds(100)), "");
    // The port's own limits are as they were.
    EXPECT_EQ(port->Timeouts().WriteTotalConstant(), 20);
    port->closePort();
}

TEST(UartProgressWrite, ASlowLineThatKeepsSendingIsNeverCutOff)
{
    PtyPair pty;
    // 2000 bytes a second through a 256-byte queue: 1000 bytes take half a second, far more than
    // the 150 ms limit, and the queue drains all the while.
    auto model = std::make_shared<UartModel>(pty.slavePath(), UartModel::Line { 256, 2000, 1 });
    TComPort port(UartModel::device(model));
    port.setEvents({});
    port.setPort(pty.slavePath());
    port.openPort();
    const std::string bytes = job(1000);
    const TWriteProgress progress = port.writeWithProgressLimit(bytes, milliseconds(150));
    EXPECT_TRUE(progress.finished(bytes.size()));
    EXPECT_TRUE(pty.receive(bytes.size()) == bytes);
    port.closePort();
}

TEST_F(UartPort, TheProgressWriteEndsWhenTheLineIsHeldForTheWholeLimit)
{
    port->openPort();
    model->hold();
    const std::string bytes = job(10000);
    const auto start = Clock::now();
    const TWriteProgress progress = port->writeWithProgressLimit(bytes, milliseconds(200));
    const auto took = Clock::now() - start;
    EXPECT_EQ(progress.taken, 4096);
    EXPECT_EQ(progress.queued, 4096);
    EXPECT_FALSE(progress.finished(bytes.size()));
    EXPECT_GE(took, milliseconds(200));
    EXPECT_LT(took, milliseconds(3000));
    // Sending the rest once the line flows again completes the job, every byte once.
    model->flow();
    const TWriteProgress rest = port->writeWithProgressLimit(
        bytes.substr(std::size_t(progress.taken)), milliseconds(2000));
    EXPECT_TRUE(rest.finished(bytes.size() - std::size_t(progress.taken)));
    EXPECT_TRUE(pty.receive(bytes.size(), milliseconds(5000)) == bytes);
    EXPECT_EQ(arrivals(milliseconds(100)), "");
    port->closePort();
}

TEST_F(UartPort, AnAbortEndsTheProgressWrite)
{
    port->openPort();
    model->hold();
    std::thread aborter([&] {
        std::this_thread::sleep_for(milliseconds(200));
        port->abortTransfers();
    });
    const Watchdog watchdog("an aborted progress write");
    const TWriteProgress progress = port->writeWithProgressLimit(job(5000), milliseconds(60000));
    aborter.join();
    EXPECT_EQ(progress.taken, 4096);
    port->closePort();
}

TEST_F(UartPort, TheProgressWriteSendsEveryByteOnceOnALineHeldPartOfTheTime)
{
    port->openPort();
    model->flowPart(milliseconds(10), milliseconds(50));
    const std::string bytes = job(4000);
    std::string arrived;
    std::thread farEnd([&] { arrived = pty.receive(bytes.size(), milliseconds(8000)); });
    const TWriteProgress progress = port->writeWithProgressLimit(bytes, milliseconds(1000));
    farEnd.join();
    arrived += arrivals(milliseconds(100));
    EXPECT_TRUE(progress.finished(bytes.size()));
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes);
    port->closePort();
}

TEST_F(UsbPort, TheProgressWriteSendsEveryByteOnceThroughAnAdapterThatDrainsInBursts)
{
    port->openPort();
    model->flowPart(milliseconds(10), milliseconds(100));
    const std::string bytes = job(3000);
    std::string arrived;
    std::thread farEnd([&] { arrived = pty.receive(bytes.size(), milliseconds(10000)); });
    const TWriteProgress progress = port->writeWithProgressLimit(bytes, milliseconds(1000));
    farEnd.join();
    arrived += arrivals(milliseconds(100));
    EXPECT_TRUE(progress.finished(bytes.size()));
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes);
    port->closePort();
}

TEST_F(UartPort, ASerialLineIsHeldExclusivelyUntilItIsClosed)
{
    port->openPort();
    if (::geteuid() == 0) {
        // An unprivileged program (pyserial, say) cannot open the line beside us.
        ::chmod(pty.slavePath().c_str(), 0666);
        const pid_t child = testsupport::inChild([this] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                return false;
            const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            return fd < 0 && errno == EBUSY;
        });
        EXPECT_TRUE(testsupport::succeeded(child));
    }
    const platform::FileDescriptor probe(
        ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (probe.valid()) { // a process with CAP_SYS_ADMIN passes TIOCEXCL
        int exclusive = -1;
        ASSERT_EQ(::ioctl(probe.get(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    port->closePort();
    const platform::FileDescriptor after(
        ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(after.valid());
    int exclusive = -1;
    ASSERT_EQ(::ioctl(after.get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}
