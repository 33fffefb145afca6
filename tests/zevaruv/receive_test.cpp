// KWNetReceive: the printer's replies on the connection KWNetOpen made, against peers on
// loopback addresses.
#include "tests/printer/ScriptedPrinter.h"
#include "zevaruv/KWNetReceive.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

std::int32_t send(const std::string& bytes)
{
    return KWNetSend(reinterpret_cast<const std::uint8_t*>(bytes.data()),
        static_cast<std::int32_t>(bytes.size()));
}

std::string receive(std::int32_t size, std::int32_t ms, std::int32_t& result)
{
    std::string bytes(static_cast<std::size_t>(size), '\0');
    result = KWNetReceive(reinterpret_cast<std::uint8_t*>(bytes.data()), size, ms);
    bytes.resize(result > 0 ? static_cast<std::size_t>(result) : 0);
    return bytes;
}

// A peer that accepts one connection, sends `bytes` and hangs up.
class SayAndHangUp {
public:
    SayAndHangUp(const char* address, std::string bytes)
    {
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons(9100);
        inet_pton(AF_INET, address, &local.sin_addr);
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
            || ::listen(m_listener, 1) != 0)
            throw std::runtime_error("cannot listen");
        m_thread = std::thread([this, bytes] {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                (void)!::write(client, bytes.data(), bytes.size());
                ::close(client);
            }
        });
    }
    ~SayAndHangUp()
    {
        m_thread.join();
        ::close(m_listener);
    }

private:
    int m_listener = -1;
    std::thread m_thread;
};

} // namespace

TEST(KWNetReceive, TakesTheRepliesOnTheSameConnection)
{
    auto printer = testsupport::ScriptedPrinter::onTcp("127.0.117.21");
    printer->answer("\x10\x04\x04", "\x72");
    printer->answer("\x1D\x49\x01", "\x20");
    ASSERT_EQ(KWNetOpen("127.0.117.21", 5, 7), 1);
    std::int32_t result = 0;
    EXPECT_EQ(send("\x10\x04\x04"), 3);
    EXPECT_EQ(receive(16, 5000, result), "\x72");
    // Nothing asked, nothing comes: 0 after the wait, and the connection stays usable.
    EXPECT_EQ(receive(16, 50, result), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(send("\x1D\x49\x01"), 3);
    EXPECT_EQ(receive(1, 5000, result), "\x20");
    KWNetClose();
}

TEST(KWNetReceive, NothingConnectedOrUnusableArgumentsGiveMinusOne)
{
    KWNetClose();
    std::uint8_t byte = 0;
    EXPECT_EQ(KWNetReceive(&byte, 1, 10), -1);
    auto printer = testsupport::ScriptedPrinter::onTcp("127.0.117.22");
    ASSERT_EQ(KWNetOpen("127.0.117.22", 5, 7), 1);
    EXPECT_EQ(KWNetReceive(nullptr, 1, 10), -1);
    EXPECT_EQ(KWNetReceive(&byte, 0, 10), -1);
    EXPECT_EQ(KWNetReceive(&byte, -5, 10), -1);
    EXPECT_EQ(KWNetReceive(&byte, 1, -10), 0); // a negative wait is no wait
    KWNetClose();
}

TEST(KWNetReceive, WhatThePeerSaidBeforeHangingUpThenMinusOne)
{
    SayAndHangUp peer("127.0.117.23", "bye");
    ASSERT_EQ(KWNetOpen("127.0.117.23", 5, 7), 1);
    std::int32_t result = 0;
    std::string got;
    while (got.size() < 3 && result >= 0)
        got += receive(16, 5000, result);
    EXPECT_EQ(got, "bye");
    receive(16, 5000, result);
    EXPECT_EQ(result, -1);
    KWNetClose();
}
