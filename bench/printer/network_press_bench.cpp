// Network press: the time from the start of the "Cut Paper" handler (ETHERNET chosen, a loopback
// address in the IP editor) until a loopback listener has the last byte and sees the connection
// end, median of 200 presses. Printed beside the floor the transport sets itself (its two 5 ms
// pauses) and beside a plain connect, send and close of the same four bytes measured the same
// way in the same run; the ratio is press / (floor + plain), goal at most 1.2.
#include "app/Form1Description.h"
#include "app/TForm1.h"
#include "platform/FileDescriptor.h"
#include "platform/MessageBoxes.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "widgets/IPEdit.h"

#include <QApplication>
#include <QPushButton>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
// A loopback address of this run's own, so that runs at the same time never collide.
const std::string address = testsupport::randomLoopbackAddress();
constexpr int presses = 200;
constexpr double floorMs = 10.0;

// When a connection's last byte arrived and when its end was seen.
struct Arrival {
    Clock::time_point lastByte;
    Clock::time_point end;
    std::size_t bytes = 0;
};

// Accepts connections one after another and notes when each one's bytes and end arrive.
class ArrivalListener {
public:
    ArrivalListener()
    {
        m_socket.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        const int yes = 1;
        ::setsockopt(m_socket.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons(9100);
        inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        if (::bind(m_socket.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
            || ::listen(m_socket.get(), 16) != 0)
            std::perror("listen");
        m_thread = std::thread([this] { serve(); });
    }
    ~ArrivalListener()
    {
        ::shutdown(m_socket.get(), SHUT_RDWR);
        m_socket.reset();
        m_thread.join();
    }

    Arrival next()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_arrivals.empty(); });
        const Arrival arrival = m_arrivals.front();
        m_arrivals.pop_front();
        return arrival;
    }

private:
    void serve()
    {
        for (;;) {
            const platform::FileDescriptor peer(
                ::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!peer.valid())
                return;
            Arrival arrival;
            char buffer[256];
            ssize_t got;
            while ((got = ::recv(peer.get(), buffer, sizeof buffer, 0)) > 0) {
                arrival.lastByte = Clock::now();
                arrival.bytes += static_cast<std::size_t>(got);
            }
            arrival.end = Clock::now();
            std::lock_guard lock(m_mutex);
            m_arrivals.push_back(arrival);
            m_changed.notify_all();
        }
    }

    platform::FileDescriptor m_socket;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Arrival> m_arrivals;
    std::thread m_thread;
};

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void plainConnectSendClose()
{
    const platform::FileDescriptor socket(testsupport::connectTo(address, 9100));
    if (!socket.valid())
        std::perror("connect");
    const char cut[] = { 0x1D, 0x56, 0x42, 0x00 };
    if (::send(socket.get(), cut, sizeof cut, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof cut))
        std::perror("send");
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    ArrivalListener printer;
    Timings press, plain;
    for (int i = 0; i < presses; ++i) {
        Clock::time_point start = Clock::now();
        form->dispatch(&app::TForm1::Button2Click, form->Button2);
        press.add(start, printer.next());
        start = Clock::now();
        plainConnectSendClose();
        plain.add(start, printer.next());
    }
    if (!boxes.boxes().empty()) {
        std::fprintf(stderr, "a press failed: %s\n", boxes.boxes().front().text.c_str());
        return 1;
    }
    const double pressMs = median(press.end);
    const double plainMs = median(plain.end);
    std::printf("Cut Paper press, handler start to the printer seeing the end: %7.3f ms "
                "(last byte at %.3f ms; median of %d)\n",
        pressMs, median(press.lastByte), presses);
    std::printf("plain connect/send/close of the same 4 bytes:                 %7.3f ms "
                "(last byte at %.3f ms)\n",
        plainMs, median(plain.lastByte));
    std::printf(
        "floor set by the transport (two 5 ms pauses):                 %7.3f ms\n", floorMs);
    std::printf(
        "ratio press / (floor + plain) = %.3f (goal <= 1.2)\n", pressMs / (floorMs + plainMs));
    return 0;
}
