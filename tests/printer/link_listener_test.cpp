// The listening thread on a link to a printer played by the test on loopback TCP: messages the
// printer sends unasked are queued in order and the owner woken; a question lent the link is
// answered by its reply, with a message in between told apart; a printer that hangs up stops
// the listening without spinning.
#include "printer/LinkListener.h"
#include "printer/NetworkLink.h"
#include "printer/PrinterQueries.h"
#include "tests/printer/ScriptedPrinter.h"

#include <ctime>
#include <gtest/gtest.h>
#include <thread>

using namespace printer;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kPaperEnd("\x18\x00\x0C\x00", 4);

std::vector<LinkListener::Heard> heardWithin(
    LinkListener& listener, std::size_t messages, milliseconds patience)
{
    std::vector<LinkListener::Heard> heard;
    const auto deadline = Clock::now() + patience;
    auto count = [&] {
        return std::count_if(
            heard.begin(), heard.end(), [](const auto& h) { return h.autoStatus; });
    };
    while (static_cast<std::size_t>(count()) < messages && Clock::now() < deadline) {
        for (auto& one : listener.take())
            heard.push_back(std::move(one));
        std::this_thread::sleep_for(milliseconds(2));
    }
    return heard;
}

double processSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

TEST(LinkListener, MessagesAreHeardUnaskedAndAQuestionGetsItsOwnAnswer)
{
    auto printer = testsupport::ScriptedPrinter::onTcp("127.0.117.91");
    printer->answerAsHealthyPrinter();
    std::atomic<int> wakes { 0 };
    LinkListener listener(
        std::make_unique<NetworkLink>("127.0.117.91"), [&] { ++wakes; },
        [](Direction) { return LinkListener::Clock::now(); });
    listener.use([](PrinterLink& link) { link.chooseAutoStatus(0x0F); });
    printer->received(3);
    printer->say(kPaperEnd);
    // What the link sent and heard, in order: GS a, then the message (told as traffic too).
    auto heard = heardWithin(listener, 1, milliseconds(2000));
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(heard[0].bytes, "\x1D\x61\x0F");
    EXPECT_TRUE(heard[1].autoStatus);
    EXPECT_EQ(heard[1].bytes, kPaperEnd);
    EXPECT_EQ(heard[2].note, "automatic status");
    EXPECT_GE(wakes.load(), 1);

    // A message on its way as the question goes out is a message, not the answer.
    const auto lent = Clock::now();
    const auto reading = listener.use([&](PrinterLink& link) {
        EXPECT_LT(Clock::now() - lent, milliseconds(100));
        printer->say(kPaperEnd);
        return askStatus(link, escpos::StatusQuery::Printer, milliseconds(2000));
    });
    EXPECT_EQ(reading.outcome, Outcome::Answered);
    EXPECT_EQ(reading.reply, 0x12);
    heard = heardWithin(listener, 1, milliseconds(2000));
    EXPECT_TRUE(
        std::any_of(heard.begin(), heard.end(), [](const auto& h) { return h.autoStatus; }));
    EXPECT_EQ(listener.stopped(), "");
}

TEST(LinkListener, APrinterThatHangsUpStopsTheListeningWithoutSpinning)
{
    auto printer = testsupport::ScriptedPrinter::onTcp("127.0.117.92");
    LinkListener listener(
        std::make_unique<NetworkLink>("127.0.117.92"), [] {},
        [](Direction) { return LinkListener::Clock::now(); });
    printer.reset();
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (listener.stopped().empty() && Clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(5));
    EXPECT_EQ(listener.stopped(), "the printer closed the connection");
    const double before = processSeconds();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_LT(processSeconds() - before, 0.1);
    const auto heard = listener.take();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().note, "listening stopped: the printer closed the connection");
}
