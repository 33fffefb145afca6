// The network printing library against real listeners on loopback addresses.
#include "support/TcpListener.h"
#include "zevaruv/ZEVarUV.h"

#include <chrono>
#include <gtest/gtest.h>

using testsupport::TcpListener;

namespace {

std::int32_t sendText(const std::string& bytes)
{
    return KWNetSend(reinterpret_cast<const std::uint8_t*>(bytes.data()),
        static_cast<std::int32_t>(bytes.size()));
}

} // namespace

TEST(ZEVarUV, DeliversEveryByteToPort9100)
{
    TcpListener printer("127.0.41.1", 9100);
    const std::string drawer("\x1B\x70\x00\x32\x32\x0D", 6);
    ASSERT_EQ(KWNetOpen("127.0.41.1", 5, 7), 1);
    EXPECT_EQ(sendText(drawer), 6);
    KWNetClose();
    ASSERT_EQ(KWNetOpen("127.0.41.1", 5, 7), 1);
    const std::string large(300000, '\0');
    EXPECT_EQ(sendText(large), 300000);
    KWNetClose();
    const auto received = printer.waitForConnections(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], drawer);
    EXPECT_EQ(received[1], large);
}

TEST(ZEVarUV, ReportsNoConnection)
{
    EXPECT_EQ(KWNetOpen("127.0.41.2", 5, 7), 0); // nothing listens there
    for (const char* address :
        { "", "127.0.0", "127.0.0.1.5", "localhost", "300.1.1.1", " 127.0.0.1" })
        EXPECT_EQ(KWNetOpen(address, 5, 7), 0) << address;
    EXPECT_EQ(KWNetOpen(nullptr, 5, 7), 0);
    EXPECT_EQ(sendText("abc"), 0);
    KWNetClose(); // closing nothing is harmless
}

TEST(ZEVarUV, AStalledPeerEndsTheSendAtItsLimitWithAShortCount)
{
    TcpListener printer("127.0.41.3", 9100, TcpListener::Mode::NeverRead);
    ASSERT_EQ(KWNetOpen("127.0.41.3", 5, 1), 1);
    const std::string large(64 << 20, 'x');
    const auto start = std::chrono::steady_clock::now();
    const std::int32_t sent = sendText(large);
    const auto took = std::chrono::steady_clock::now() - start;
    KWNetClose();
    EXPECT_LT(sent, static_cast<std::int32_t>(large.size()));
    EXPECT_LT(took, std::chrono::seconds(30)); // a watchdog bound, not a timing goal
}

TEST(ZEVarUV, OpeningAgainReplacesTheConnection)
{
    TcpListener printer("127.0.41.4", 9100);
    ASSERT_EQ(KWNetOpen("127.0.41.4", 5, 7), 1);
    ASSERT_EQ(KWNetOpen("127.0.41.4", 5, 7), 1);
    EXPECT_EQ(sendText("B"), 1);
    KWNetClose();
    const auto received = printer.waitForConnections(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], "");
    EXPECT_EQ(received[1], "B");
}
