// KWNetWaitCallback: while a call of the network library waits (for a connection, for a printer
// that takes nothing, for replies), the calling thread's callback runs on that thread often
// enough to keep a window alive; a library call from inside the callback is refused at once.
#include "support/TcpListener.h"
#include "zevaruv/KWNetReceive.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// Notes when the callback ran, and whether always on the thread that installed it, while it
// lives.
class CallbackRecord {
public:
    CallbackRecord() { KWNetWaitCallback(&CallbackRecord::called, this); }
    ~CallbackRecord() { KWNetWaitCallback(nullptr, nullptr); }

    // The longest time without a call between start and end, both included.
    Clock::duration longestGap(Clock::time_point start, Clock::time_point end) const
    {
        Clock::duration longest {};
        Clock::time_point previous = start;
        for (const auto at : times) {
            longest = std::max(longest, at - previous);
            previous = at;
        }
        return std::max(longest, end - previous);
    }

    std::vector<Clock::time_point> times;
    bool onInstaller = true;
    std::thread::id installer = std::this_thread::get_id();

private:
    static void called(void* context)
    {
        auto* self = static_cast<CallbackRecord*>(context);
        self->times.push_back(Clock::now());
        self->onInstaller = self->onInstaller && std::this_thread::get_id() == self->installer;
    }
};

std::int32_t sendText(const std::string& bytes)
{
    return KWNetSend(reinterpret_cast<const std::uint8_t*>(bytes.data()),
        static_cast<std::int32_t>(bytes.size()));
}

// A listener whose queue of connections is full and which never accepts: the kernel drops
// further connection attempts, so a connect waits until its limit.
class FullListener {
public:
    explicit FullListener(const std::string& address)
    {
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons(9100);
        inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
            || ::listen(m_listener, 0) != 0)
            ADD_FAILURE() << "cannot listen on " << address;
        // Fills the queue: connections the listener never accepts.
        for (int& filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&local), sizeof local);
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
    ~FullListener()
    {
        for (const int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;

private:
    int m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int m_fillers[4] {};
};

// Generous for a loaded machine, yet well under the half second after which a window shows it
// is busy and starts repainting.
constexpr auto longestAllowedGap = milliseconds(250);

} // namespace

TEST(KWNetWaitCallback, RunsOnTheWaitingThreadWhileConnectingSendingAndReading)
{
    CallbackRecord record;

    // A connection attempt nobody answers, ended by the 1 s connect limit.
    const std::string full = testsupport::randomLoopbackAddress();
    const FullListener listener(full);
    auto start = Clock::now();
    EXPECT_EQ(KWNetOpen(full.c_str(), 1, 1), 0);
    auto end = Clock::now();
    EXPECT_GE(end - start, milliseconds(950));
    EXPECT_LE(end - start, milliseconds(3000));
    EXPECT_LE(record.longestGap(start, end), longestAllowedGap);
    EXPECT_GE(record.times.size(), 5u);

    // A printer that takes nothing: the send ends after its 1 s without progress.
    testsupport::TcpListener stalled(testsupport::TcpListener::Mode::NeverRead);
    ASSERT_EQ(KWNetOpen(stalled.address().c_str(), 5, 1), 1);
    record.times.clear();
    start = Clock::now();
    EXPECT_LT(sendText(std::string(1 << 20, 'x')), 1 << 20);
    end = Clock::now();
    EXPECT_LE(record.longestGap(start, end), longestAllowedGap);
    EXPECT_GE(record.times.size(), 5u);

    // Waiting 400 ms for a reply that never comes.
    record.times.clear();
    start = Clock::now();
    std::uint8_t reply[4];
    EXPECT_EQ(KWNetReceive(reply, sizeof reply, 400), 0);
    end = Clock::now();
    EXPECT_LE(record.longestGap(start, end), longestAllowedGap);
    EXPECT_GE(record.times.size(), 2u);
    KWNetClose();
    EXPECT_TRUE(record.onInstaller);

    // Another thread's calls run no callback of this one's.
    record.times.clear();
    std::thread([&] {
        std::uint8_t nothing[1];
        EXPECT_EQ(KWNetOpen(stalled.address().c_str(), 5, 1), 1);
        EXPECT_EQ(KWNetReceive(nothing, 1, 200), 0);
        KWNetClose();
    }).join();
    EXPECT_TRUE(record.times.empty());
}

TEST(KWNetWaitCallback, ALibraryCallFromTheCallbackIsRefusedAtOnce)
{
    testsupport::TcpListener silent;
    struct Nested {
        std::string address;
        int calls = 0;
        std::int32_t sent = -2, received = -2;
        std::uint8_t opened = 2;
    } nested { silent.address() };
    KWNetWaitCallback(
        [](void* context) {
            auto& n = *static_cast<Nested*>(context);
            if (n.calls++ > 0)
                return;
            const auto text = reinterpret_cast<const std::uint8_t*>("x");
            std::uint8_t reply[1];
            n.sent = KWNetSend(text, 1);
            n.received = KWNetReceive(reply, 1, 100);
            n.opened = KWNetOpen(n.address.c_str(), 5, 7);
            KWNetClose(); // must leave the connection in use alone
        },
        &nested);
    ASSERT_EQ(KWNetOpen(silent.address().c_str(), 5, 7), 1);
    std::uint8_t reply[1];
    EXPECT_EQ(KWNetReceive(reply, 1, 200), 0);
    EXPECT_EQ(sendText("after"), 5) << "the connection survived the refused calls";
    KWNetClose();
    KWNetWaitCallback(nullptr, nullptr);
    EXPECT_GE(nested.calls, 1);
    EXPECT_EQ(nested.sent, 0);
    EXPECT_EQ(nested.received, -1);
    EXPECT_EQ(nested.opened, 0);
    const auto received = silent.waitForConnections(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], "after");
}
