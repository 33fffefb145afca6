// The network printing library against real listeners on loopback addresses.
#include "support/TcpListener.h"
#include "zevaruv/ZEVarUV.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>

using testsupport::TcpListener;

namespace {

using Clock = std::chrono::steady_clock;

std::int32_t sendText(const std::string& bytes)
{
    return KWNetSend(reinterpret_cast<const std::uint8_t*>(bytes.data()),
        static_cast<std::int32_t>(bytes.size()));
}

std::string pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13);
    return bytes;
}

std::size_t openDescriptors()
{
    using std::filesystem::directory_iterator;
    return static_cast<std::size_t>(
        std::distance(directory_iterator("/proc/self/fd"), directory_iterator {}));
}

} // namespace

TEST(ZEVarUV, DeliversEveryByteToPort9100)
{
    TcpListener printer;
    const char* address = printer.address().c_str();
    const std::string drawer("\x1B\x70\x00\x32\x32\x0D", 6);
    ASSERT_EQ(KWNetOpen(address, 5, 7), 1);
    EXPECT_EQ(sendText(drawer), 6);
    KWNetClose();
    ASSERT_EQ(KWNetOpen(address, 5, 7), 1);
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
    const std::string nobody = testsupport::randomLoopbackAddress();
    EXPECT_EQ(KWNetOpen(nobody.c_str(), 5, 7), 0);
    for (const char* address :
        { "", "127.0.0", "127.0.0.1.5", "localhost", "300.1.1.1", " 127.0.0.1" })
        EXPECT_EQ(KWNetOpen(address, 5, 7), 0) << address;
    EXPECT_EQ(KWNetOpen(nullptr, 5, 7), 0);
    EXPECT_EQ(sendText("abc"), 0);
    KWNetClose(); // closing nothing is harmless
}

TEST(ZEVarUV, NoConnectionLeavesNoDescriptorBehind)
{
    const std::string nobody = testsupport::randomLoopbackAddress();
    TcpListener printer;
    const std::size_t before = openDescriptors();
    for (int attempt = 0; attempt < 20; ++attempt) {
        EXPECT_EQ(KWNetOpen(nobody.c_str(), 5, 7), 0);
        ASSERT_EQ(KWNetOpen(printer.address().c_str(), 5, 7), 1);
        KWNetClose();
    }
    printer.waitForConnections(20);
    EXPECT_EQ(openDescriptors(), before);
}

// A printer that accepts and never reads: the kernel's buffers would take a whole 1 MB job,
// but only what the printer acknowledged counts, and the send ends once nothing moved for the
// limit (1 s here).
TEST(ZEVarUV, APeerThatNeverReadsEndsTheSendAfterTheLimitWithoutProgress)
{
    TcpListener printer(TcpListener::Mode::NeverRead);
    ASSERT_EQ(KWNetOpen(printer.address().c_str(), 5, 1), 1);
    const std::string job = pattern(1 << 20);
    const auto start = Clock::now();
    const std::int32_t acknowledged = sendText(job);
    const auto took = Clock::now() - start;
    KWNetClose();
    EXPECT_LT(acknowledged, 256 << 10) << "a small receive window takes little of the job";
    EXPECT_GE(took, std::chrono::milliseconds(950));
    EXPECT_LT(took, std::chrono::seconds(15)); // the limit plus a margin for loaded machines
}

// A printer that takes 64 KB a second is slow but never stalls: a job four times the limit
// long arrives whole and is reported whole.
TEST(ZEVarUV, ASlowPeerThatKeepsReadingIsNeverCutOff)
{
    TcpListener printer(TcpListener::Mode::Slow);
    ASSERT_EQ(KWNetOpen(printer.address().c_str(), 5, 1), 1);
    const std::string job = pattern(256 << 10);
    const auto start = Clock::now();
    EXPECT_EQ(sendText(job), static_cast<std::int32_t>(job.size()));
    EXPECT_GT(Clock::now() - start, std::chrono::seconds(2)) << "the reader was not slow";
    KWNetClose();
    const auto received = printer.waitForConnections(1, 30000);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0] == job);
}

TEST(ZEVarUV, OpeningAgainReplacesTheConnection)
{
    TcpListener printer;
    const char* address = printer.address().c_str();
    ASSERT_EQ(KWNetOpen(address, 5, 7), 1);
    ASSERT_EQ(KWNetOpen(address, 5, 7), 1);
    EXPECT_EQ(sendText("B"), 1);
    KWNetClose();
    const auto received = printer.waitForConnections(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], "");
    EXPECT_EQ(received[1], "B");
}
