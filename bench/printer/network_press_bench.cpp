// Network press: the time from the start of the "Cut Paper" handler (ETHERNET chosen, a loopback
// address in the IP editor) until a loopback listener has the last byte and sees the connection
// end, median of 200 presses. Beside it, measured the same way in the same run: a plain connect,
// send and close of the same four bytes; the same plain program with the transport's two 5 ms
// pauses (connect, pause, send, pause, close), the best any press can do; and the two pauses
// slept alone. Printed: the raw ratio press / plain, and the press's cost above the floor beside
// the plain program's whole cost (goal: at most twice). The floor is the pauses as a plain
// program pays them (plain with pauses minus plain), which includes waking from them: work after
// a 5 ms sleep finds the processor and its caches cold, whoever does it. Above the pauses as
// slept alone is printed too, with what the plain program itself scores there.
#include "app/Form1Description.h"
#include "app/TForm1.h"
#include "bench/support/ArrivalListener.h"
#include "bench/support/Median.h"
#include "platform/MessageBoxes.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "widgets/IPEdit.h"

#include <QApplication>
#include <QPushButton>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using benchsupport::Arrival;
using benchsupport::Clock;
using benchsupport::median;
using benchsupport::ms;
// A loopback address of this run's own, so that runs at the same time never collide.
const std::string address = testsupport::randomLoopbackAddress();
constexpr int presses = 200;

// The floor as the machine keeps it: the transport's two 5 ms pauses, slept one after the other
// (each sleep overshoots by the kernel's timer slack and wake-up, which no program avoids).
double pausesMs()
{
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return ms(Clock::now() - start);
}

// Connect, send the cut and close; with the transport's pauses after connecting and sending
// when `paused`.
void plainConnectSendClose(bool paused)
{
    const platform::FileDescriptor socket(testsupport::connectTo(address, 9100));
    if (!socket.valid())
        std::perror("connect");
    if (paused)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const char cut[] = { 0x1D, 0x56, 0x42, 0x00 };
    if (::send(socket.get(), cut, sizeof cut, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof cut))
        std::perror("send");
    if (paused)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

struct Timings {
    std::vector<double> lastByte;
    std::vector<double> end;

    void add(Clock::time_point start, const Arrival& arrival)
    {
        lastByte.push_back(ms(arrival.lastByte - start));
        end.push_back(ms(arrival.end - start));
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const testsupport::TestConfigHome config; // the credits marker check must not touch ~/.config
    platform::RecordingMessageService boxes;
    platform::setApplicationTitle("Quillet v1.0");
    QApplication application(argc, argv);
    const auto form = app::TForm1::create(app::form1Description());
    form->doCreate();
    form->IPEdit1->setIPString(QString::fromStdString(address));

    benchsupport::ArrivalListener printer(address);
    Timings press, plain, plainPaused;
    std::vector<double> pauses;
    for (int i = 0; i < presses; ++i) {
        Clock::time_point start = Clock::now();
        form->dispatch(&app::TForm1::Button2Click, form->Button2);
        press.add(start, printer.next());
        start = Clock::now();
        plainConnectSendClose(false);
        plain.add(start, printer.next());
        pauses.push_back(pausesMs());
        start = Clock::now();
        plainConnectSendClose(true);
        plainPaused.add(start, printer.next());
    }
    if (!boxes.boxes().empty()) {
        std::fprintf(stderr, "a press failed: %s\n", boxes.boxes().front().text.c_str());
        return 1;
    }
    const double pressMs = median(press.end);
    const double plainMs = median(plain.end);
    const double pausedMs = median(plainPaused.end);
    const double sleptMs = median(pauses);
    const double floorMs = pausedMs - plainMs;
    std::printf("Cut Paper press, handler start to the printer seeing the end: %7.3f ms "
                "(last byte at %.3f ms; median of %d)\n",
        pressMs, median(press.lastByte), presses);
    std::printf("plain connect/send/close of the same 4 bytes:                 %7.3f ms "
                "(last byte at %.3f ms)\n",
        plainMs, median(plain.lastByte));
    std::printf("the same with the transport's two 5 ms pauses:                %7.3f ms "
                "(last byte at %.3f ms)\n",
        pausedMs, median(plainPaused.lastByte));
    std::printf(
        "the two 5 ms pauses slept alone:                              %7.3f ms\n", sleptMs);
    std::printf("raw ratio press / plain = %.2f\n", pressMs / plainMs);
    std::printf("floor: the pauses as the plain program pays them, %.3f ms\n", floorMs);
    std::printf("press above the floor: %.3f ms beside the plain program's whole %.3f ms: "
                "%.2f times (goal <= 2)\n",
        pressMs - floorMs, plainMs, (pressMs - floorMs) / plainMs);
    std::printf("above the pauses slept alone: press %.3f ms (%.2f times plain), plain with "
                "pauses %.3f ms (%.2f times plain)\n",
        pressMs - sleptMs, (pressMs - sleptMs) / plainMs, pausedMs - sleptMs,
        (pausedMs - sleptMs) / plainMs);
    return 0;
}
