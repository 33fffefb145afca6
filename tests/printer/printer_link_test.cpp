// The two-way link on each connection against a printer played by the test: a listener on a
// loopback address, a pseudo-terminal, a FIFO in a test system root.
#include "platform/Exception.h"
#include "printer/NetworkLink.h"
#include "printer/ParallelLink.h"
#include "printer/PressWait.h"
#include "printer/PrinterDevice.h"
#include "printer/PrinterQueries.h"
#include "printer/SerialLink.h"
#include "serial/CPort.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/printer/LateResponder.h"
#include "tests/printer/PrinterFifo.h"
#include "tests/printer/ScriptedPrinter.h"

#include <gtest/gtest.h>

using namespace printer;
using escpos::Condition;
using escpos::StatusQuery;
using std::chrono::milliseconds;
using testsupport::ScriptedPrinter;

namespace {

constexpr milliseconds kLimit { 500 };

const std::string kAllQueries = std::string("\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04", 12)
    + "\x1D\x49\x01\x1D\x49\x02\x1D\x49\x03";

// Every byte the link passes, each direction on its own.
struct Traffic {
    std::string sent, received;
    std::vector<std::string> notes;
    TrafficObserver observer()
    {
        return [this](Direction direction, std::string_view bytes, std::string_view note) {
            (direction == Direction::Sent ? sent : received).append(bytes);
            if (!note.empty())
                notes.emplace_back(note);
        };
    }
};

void expectHealthy(const PrinterReport& report)
{
    ASSERT_EQ(report.status.size(), 4u);
    for (const auto& reading : report.status) {
        EXPECT_EQ(reading.outcome, Outcome::Answered) << int(reading.query);
        EXPECT_TRUE(reading.conditions.none());
    }
    ASSERT_EQ(report.ids.size(), 3u);
    EXPECT_EQ(report.ids[0].reply, 0x20);
    EXPECT_EQ(report.ids[1].reply, 0x02);
    EXPECT_EQ(report.ids[2].reply, 0x41);
    EXPECT_EQ(report.condition(Condition::Offline), false);
}

} // namespace

TEST(NetworkLink, AsksEveryQuestionOnOneConnectionAndDecodesTheAnswers)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.1");
    printer->answerAsHealthyPrinter();
    Traffic traffic;
    NetworkLink link("127.0.117.1");
    link.setObserver(traffic.observer());
    const auto report = queryFullStatus(link, kLimit);
    expectHealthy(report);
    EXPECT_FALSE(report.kernel);
    EXPECT_EQ(traffic.sent, kAllQueries);
    EXPECT_EQ(traffic.received, std::string("\x12\x12\x12\x12\x20\x02\x41"));
    EXPECT_EQ(printer->received(kAllQueries.size()), kAllQueries);
}

TEST(NetworkLink, RepliesOfAPrinterInTroubleAndBytesThatAreNoStatus)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.2");
    printer->answer("\x10\x04\x01", "\x1A"); // offline
    printer->answer("\x10\x04\x02", "\x36"); // cover open, stopped by paper end
    printer->answer("\x10\x04\x03", "A"); // 0x41: bit 0 set, not a status
    printer->answer("\x10\x04\x04", "\x72"); // paper end
    NetworkLink link("127.0.117.2");
    const auto report = queryFullStatus(link, kLimit);
    EXPECT_EQ(report.condition(Condition::Offline), true);
    EXPECT_EQ(report.condition(Condition::CoverOpen), true);
    EXPECT_EQ(report.condition(Condition::PaperEnd), true);
    EXPECT_EQ(report.condition(Condition::PaperNearEnd), false);
    const auto* errorCause = report.reading(StatusQuery::ErrorCause);
    ASSERT_TRUE(errorCause);
    EXPECT_EQ(errorCause->outcome, Outcome::NotStatus);
    EXPECT_EQ(errorCause->reply, 0x41);
    EXPECT_EQ(report.condition(Condition::CutterError), std::nullopt);
    for (const auto& id : report.ids)
        EXPECT_FALSE(id.reply); // the printer ID was not answered
}

TEST(NetworkLink, AListenerThatNeverRepliesGivesNoAnswerNotAState)
{
    testsupport::TcpListener silent("127.0.117.3", 9100);
    NetworkLink link("127.0.117.3");
    const auto report = queryPressStatus(link, milliseconds(100));
    ASSERT_EQ(report.status.size(), 2u);
    for (const auto& reading : report.status)
        EXPECT_EQ(reading.outcome, Outcome::NoAnswer);
    EXPECT_EQ(report.condition(Condition::Offline), std::nullopt);
    EXPECT_EQ(report.condition(Condition::PaperEnd), std::nullopt);
}

TEST(NetworkLink, WaitingForAnAnswerCallsTheWaitHook)
{
    testsupport::TcpListener silent("127.0.117.6", 9100);
    NetworkLink link("127.0.117.6");
    int calls = 0;
    setWaitHook([&] { ++calls; });
    const auto reading = askStatus(link, StatusQuery::Printer, milliseconds(300));
    setWaitHook({});
    EXPECT_EQ(reading.outcome, Outcome::NoAnswer);
    // At least every wait slice while the answer does not come, so the window repaints.
    EXPECT_GE(calls, 300 / waitSlice.count() - 1);
}

TEST(NetworkLink, ALeftoverByteIsNotTakenForTheNextAnswer)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.4");
    // One segment of two bytes: the second is waiting once the first has been read.
    printer->answer(std::string("\x10\x04\x01", 3), "\x1A\x1A");
    printer->answer(std::string("\x10\x04\x04", 3), "\x72");
    NetworkLink link("127.0.117.4");
    Traffic traffic;
    link.setObserver(traffic.observer());
    ASSERT_EQ(askStatus(link, StatusQuery::Printer, kLimit).reply, 0x1A);
    const auto reading = askStatus(link, StatusQuery::PaperSensor, kLimit);
    EXPECT_EQ(reading.outcome, Outcome::Answered);
    EXPECT_EQ(reading.reply, 0x72);
    EXPECT_EQ(link.strayBytes(), 1u);
    EXPECT_EQ(traffic.notes,
        (std::vector<std::string> {
            "reply to DLE EOT 1", "stray byte (no question)", "reply to DLE EOT 4" }));
}

TEST(NetworkLink, AnAnswerThatComesTooLateIsNotTakenForTheNextOne)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.7");
    printer->answer("\x10\x04\x04", "\x72");
    NetworkLink link("127.0.117.7");
    EXPECT_EQ(askStatus(link, StatusQuery::Printer, milliseconds(50)).outcome, Outcome::NoAnswer);
    printer->received(3);
    printer->say("\x1A"); // the first question's answer, after its limit
    const auto reading = askStatus(link, StatusQuery::PaperSensor, kLimit);
    EXPECT_EQ(reading.outcome, Outcome::Answered);
    EXPECT_EQ(reading.reply, 0x72);
}

TEST(NetworkLink, AnOfflinePrinterAnsweringLateLightsNothingAndItsRepliesAreNamedLate)
{
    // 0.6 s after each question, against a 0.5 s limit: every reply comes during a later wait.
    testsupport::LateResponder printer(
        "127.0.117.8", 600, testsupport::LateResponder::offlinePrinter());
    NetworkLink link("127.0.117.8");
    Traffic traffic;
    link.setObserver(traffic.observer());
    const auto report = queryFullStatus(link, kLimit);
    for (const auto& reading : report.status)
        EXPECT_EQ(reading.outcome, Outcome::NoAnswer) << int(reading.query);
    for (const auto& id : report.ids)
        EXPECT_FALSE(id.reply) << int(id.query);
    EXPECT_EQ(report.condition(Condition::PaperFedByButton), std::nullopt);
    EXPECT_GE(report.lateReplies, 1u);
    ASSERT_FALSE(traffic.notes.empty());
    EXPECT_EQ(traffic.notes[0], "late reply to DLE EOT 1");
    for (const auto& note : traffic.notes)
        EXPECT_EQ(note.rfind("late reply to DLE EOT ", 0), 0u) << note;
}

TEST(NetworkLink, ASilentPrinterCostsOneFullLimitAndShortWaitsForTheRest)
{
    testsupport::TcpListener silent("127.0.117.9", 9100);
    NetworkLink link("127.0.117.9");
    const auto start = std::chrono::steady_clock::now();
    const auto report = queryFullStatus(link, milliseconds(1000));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(report.reading(StatusQuery::PaperSensor)->outcome, Outcome::NoAnswer);
    // One limit, then six short waits (each may end a few milliseconds early); never seven
    // limits.
    EXPECT_GE(took, milliseconds(1000) + 6 * (kAfterSilenceLimit - milliseconds(10)));
    EXPECT_LT(took, milliseconds(1000) + 6 * kAfterSilenceLimit + milliseconds(700));
}

TEST(NetworkLink, GarbageForThePrinterIdIsNoModel)
{
    auto printer = ScriptedPrinter::onTcp("127.0.117.10");
    printer->answerAsHealthyPrinter();
    printer->answer("\x1D\x49\x01", "\xFF");
    printer->answer("\x1D\x49\x02", std::string(1, '\0'));
    NetworkLink link("127.0.117.10");
    const auto report = queryFullStatus(link, milliseconds(200));
    EXPECT_EQ(report.ids[0].reply, std::nullopt);
    EXPECT_EQ(report.ids[0].unfit, 0xFF);
    EXPECT_EQ(report.ids[1].reply, std::nullopt);
    EXPECT_EQ(report.ids[1].unfit, 0x00);
    EXPECT_EQ(report.strayBytes, 2u);
}

TEST(NetworkLink, NoPrinterAtTheAddressIsAConnectError)
{
    try {
        NetworkLink link("127.0.117.5");
        FAIL() << "connected to nothing";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.message(), "Connect error");
    }
}

TEST(SerialLink, AsksThePrinterOnAPseudoTerminalAndClosesThePortAfterwards)
{
    auto printer = ScriptedPrinter::onPty();
    printer->answerAsHealthyPrinter();
    cport::TComPort port;
    port.setPort(printer->slavePath());
    Traffic traffic;
    {
        SerialLink link(port, false);
        link.setObserver(traffic.observer());
        expectHealthy(queryFullStatus(link, kLimit));
        EXPECT_TRUE(port.Connected());
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(traffic.sent, kAllQueries);
    // The port's own time-outs are back after the waits.
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 0);
}

TEST(SerialLink, KeepOpenLeavesThePortOpenForTheNextLink)
{
    auto printer = ScriptedPrinter::onPty();
    printer->answer("\x10\x04\x01", "\x16");
    cport::TComPort port;
    port.setPort(printer->slavePath());
    {
        SerialLink link(port, true);
        EXPECT_EQ(askStatus(link, StatusQuery::Printer, kLimit).reply, 0x16);
    }
    ASSERT_TRUE(port.Connected());
    const int handle = port.deviceHandle();
    {
        SerialLink again(port, false);
        EXPECT_EQ(port.deviceHandle(), handle); // reused, not reopened
        const auto reading = askStatus(again, StatusQuery::OfflineCause, milliseconds(100));
        EXPECT_EQ(reading.outcome, Outcome::NoAnswer);
    }
    EXPECT_FALSE(port.Connected());
}

TEST(ParallelLink, AFifoTakesTheBytesAndAnswersNothingWithoutWaiting)
{
    testsupport::TestSysRoot root;
    testsupport::PrinterFifo lp0(root.path() + "/dev/lp0");
    ParallelLink link("LPT1");
    const auto start = std::chrono::steady_clock::now();
    const auto report = queryFullStatus(link, milliseconds(2000));
    // Nothing can come back through a pipe written one way: no wait for seven answers.
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(7 * 2000));
    EXPECT_EQ(lp0.take(), kAllQueries);
    for (const auto& reading : report.status)
        EXPECT_EQ(reading.outcome, Outcome::NoAnswer);
    ASSERT_TRUE(report.kernel);
    EXPECT_FALSE(report.kernel->lines);
    EXPECT_FALSE(report.kernel->deviceId);
}

TEST(ParallelLink, AUsbPrinterPublishesItsDeviceIdInSysfs)
{
    testsupport::TestSysRoot root;
    testsupport::PrinterFifo usb(root.path() + "/dev/usb/lp1");
    root.writeFile("sys/class/usbmisc/lp1/device/ieee1284_id",
        "MFG:EPSON;CMD:ESC/POS;MDL:TM-T20II;CLS:PRINTER;DES:EPSON TM-T20II;\n");
    ParallelLink link("LPT2");
    EXPECT_EQ(link.devicePath(), root.path() + "/dev/usb/lp1");
    const auto view = link.kernelView();
    ASSERT_TRUE(view && view->deviceId);
    EXPECT_EQ(*view->deviceId, (Ieee1284Id { "EPSON", "TM-T20II", "ESC/POS" }));
}

TEST(ParallelLink, AMissingDeviceOrAnUnreadFifoFailsWithTheRuntimeCode)
{
    testsupport::TestSysRoot root;
    const auto codeOf = [](const std::string& name) {
        try {
            ParallelLink link(name);
        } catch (const platform::EInOutError& error) {
            return error.errorCode();
        }
        return 0;
    };
    EXPECT_EQ(codeOf("LPT3"), 2);
    EXPECT_EQ(codeOf(""), 2);
    testsupport::PrinterFifo lp0(root.path() + "/dev/lp0");
    lp0.closeReadEnd();
    EXPECT_EQ(codeOf("LPT1"), 6); // ENXIO: nobody reads, and the press does not hang
}

TEST(ParallelLink, AFileInPlaceOfTheDeviceIsRefusedAndKeepsItsContent)
{
    testsupport::TestSysRoot root;
    root.writeFile("dev/lp1", "notes");
    EXPECT_THROW(ParallelLink("LPT2"), ENotPrinterDevice);
    EXPECT_EQ(root.readFile("dev/lp1"), "notes");
}

TEST(LptKernelView, DeviceIdsAndStatusLines)
{
    const struct {
        const char* text;
        Ieee1284Id id;
    } ids[] = {
        { "MFG:EPSON;MDL:TM-T88V;CMD:ESC/POS;", { "EPSON", "TM-T88V", "ESC/POS" } },
        { "manufacturer: Star ; model:TSP100;command set:STAR,ESC/POS",
            { "Star", "TSP100", "STAR,ESC/POS" } },
        { "CLS:PRINTER;junk;MDL:X", { "", "X", "" } },
        { "", {} },
    };
    for (const auto& c : ids)
        EXPECT_EQ(parseIeee1284Id(c.text), c.id) << c.text;
    // Paper out, selected, and the error line that is active low.
    EXPECT_EQ(lptLineStatusFromByte(0x18), (LptLineStatus { false, true, false }));
    EXPECT_EQ(lptLineStatusFromByte(0x30), (LptLineStatus { true, true, true }));
    EXPECT_EQ(lptLineStatusFromByte(0x08), (LptLineStatus { false, false, false }));
}
