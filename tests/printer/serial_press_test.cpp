// The serial press on lines with an output queue (the UART model): every byte of a job reaches
// a printer that holds the line most of the time, or a USB adapter that drains in bursts (also
// between two looks at its queue), once;
// the window is kept alive while it waits; the press leaves the port's own time limits alone;
// and a printer that takes nothing for the no-progress limit ends the press with "Write
// timeout", the port closed.
#include "FakeComDevice.h"
#include "PtyPair.h"
#include "UartModel.h"
#include "platform/MessageBoxes.h"
#include "printer/PressWait.h"
#include "printer/SerialOutput.h"
#include "serial/CPort.h"

#include <gtest/gtest.h>

#include <thread>

using serialtest::PtyPair;
using serialtest::UartModel;
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

// The window's port at 115 200 baud on the model of a pseudo-terminal's line.
struct ModelledPrinter {
    PtyPair pty;
    std::shared_ptr<UartModel> model;
    cport::TComPort port;

    explicit ModelledPrinter(UartModel::Line line = {})
        : model(std::make_shared<UartModel>(pty.slavePath(), line))
        , port(UartModel::device(model))
    {
        port.setEvents({});
        port.setPort(pty.slavePath());
        port.setBaudRate(cport::br115200);
    }

    // Presses, with the far end reading meanwhile; what arrived.
    std::string press(const std::string& bytes)
    {
        std::string arrived;
        std::thread farEnd([&] {
            arrived = pty.receive(bytes.size(), milliseconds(20000));
            arrived += pty.receiveAvailable(milliseconds(200));
        });
        printer::sendSerial(port, bytes);
        farEnd.join();
        return arrived;
    }
};

// Counts the wait hook's calls and the threads they came on.
struct HookCount {
    int calls = 0;
    bool elsewhere = false;
    HookCount()
    {
        const auto caller = std::this_thread::get_id();
        printer::setWaitHook([this, caller] {
            ++calls;
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
        });
    }
    ~HookCount() { printer::setWaitHook({}); }
};

} // namespace

TEST(SerialPress, APrinterHoldingTheLineFortyOfEveryFiftyMillisecondsGetsEveryByteOnce)
{
    const platform::RecordingMessageService boxes;
    ModelledPrinter printer;
    printer.model->flowPart(milliseconds(10), milliseconds(50));
    const HookCount hook;
    const std::string bytes = job(6000);
    const std::string arrived = printer.press(bytes);
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(printer.port.Connected());
    // About 2.6 s of waiting, with the hook at least every 50 ms on the pressing thread.
    EXPECT_GE(hook.calls, 20);
    EXPECT_FALSE(hook.elsewhere);
}

TEST(SerialPress, AUsbAdapterThatDrainsInBurstsGetsEveryByteOnce)
{
    const platform::RecordingMessageService boxes;
    ModelledPrinter printer(UartModel::Line { 4096, 11520, 64, true });
    // Held 90 of every 100 ms: no piece of the job drains within a short limit.
    printer.model->flowPart(milliseconds(10), milliseconds(100));
    const std::string bytes = job(3000);
    const std::string arrived = printer.press(bytes);
    EXPECT_EQ(arrived.size(), bytes.size());
    EXPECT_TRUE(arrived == bytes);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(SerialPress, ThePressLeavesThePortsTimeLimitsAlone)
{
    const platform::RecordingMessageService boxes;
    auto script = std::make_shared<serialtest::FakeScript>();
    cport::TComPort port(std::make_unique<serialtest::FakeComDevice>(script));
    port.setEvents({});
    port.Timeouts().setWriteTotalMultiplier(3);
    port.Timeouts().setWriteTotalConstant(40);
    const std::string bytes = job(3000);
    printer::sendSerial(port, bytes);
    EXPECT_EQ(script->written, bytes);
    // Only the open gives the device its time limits; the press sets none of its own.
    EXPECT_EQ(script->callCount("setTimeouts"), 1);
    EXPECT_EQ(script->timeouts->WriteTotalTimeoutMultiplier, 3u);
    EXPECT_EQ(script->timeouts->WriteTotalTimeoutConstant, 40u);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(SerialPress, APrinterThatTakesNothingForTheNoProgressLimitEndsThePress)
{
    const platform::RecordingMessageService boxes;
    ModelledPrinter printer;
    printer.model->hold();
    const auto start = Clock::now();
    const std::size_t written = printer::sendSerial(printer.port, job(10000));
    const auto took = Clock::now() - start;
    // The held line sent nothing: what the driver queued is not reported as delivered.
    EXPECT_EQ(written, 0u);
    EXPECT_GE(took, printer::noProgressLimit);
    EXPECT_LT(took, printer::noProgressLimit + std::chrono::seconds(5));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes().front().text, "Write timeout");
    EXPECT_FALSE(printer.port.Connected());
    // Closing discarded what the held line still queued: none of it goes out later.
    EXPECT_EQ(printer.model->queued(), 0u);
    EXPECT_EQ(printer.model->flushed(), 4096u);
}
