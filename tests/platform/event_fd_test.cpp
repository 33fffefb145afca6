// The wake-up descriptor: a signal from another thread ends a poll() on it, signals coalesce
// until drained, and neither side ever blocks.
#include "platform/EventFd.h"

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>

using platform::EventFd;

namespace {

bool readable(const EventFd& wake, int waitMs)
{
    pollfd entry { wake.get(), POLLIN, 0 };
    return ::poll(&entry, 1, waitMs) == 1 && (entry.revents & POLLIN);
}

} // namespace

TEST(EventFd, IsANonBlockingDescriptorClosedOnExec)
{
    const EventFd wake;
    ASSERT_TRUE(wake.valid());
    EXPECT_EQ(wake.error(), 0);
    EXPECT_TRUE(::fcntl(wake.get(), F_GETFD) & FD_CLOEXEC);
    EXPECT_TRUE(::fcntl(wake.get(), F_GETFL) & O_NONBLOCK);
}

TEST(EventFd, ASignalFromAnotherThreadWakesTheWaiter)
{
    const EventFd wake;
    std::thread signaller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        wake.signal();
    });
    // Generous: only a lost signal would let the whole minute pass.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(readable(wake, 60000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(50));
    signaller.join();
    EXPECT_TRUE(wake.drain());
}

TEST(EventFd, SignalsCoalesceUntilOneDrainTakesThemAll)
{
    const EventFd wake;
    EXPECT_FALSE(wake.drain()); // nothing pending: returns at once
    wake.signal();
    wake.signal();
    wake.signal();
    EXPECT_TRUE(readable(wake, 0));
    EXPECT_TRUE(wake.drain());
    EXPECT_FALSE(readable(wake, 0));
    EXPECT_FALSE(wake.drain());
}

TEST(EventFd, SignalAtTheCounterLimitReturnsAndStaysPending)
{
    const EventFd wake;
    // The largest count an eventfd holds; one more would have to wait for a reader.
    const std::uint64_t almostFull = UINT64_MAX - 1;
    ASSERT_EQ(::write(wake.get(), &almostFull, sizeof almostFull), ssize_t(sizeof almostFull));
    wake.signal();
    EXPECT_TRUE(readable(wake, 0));
    EXPECT_TRUE(wake.drain());
    EXPECT_FALSE(readable(wake, 0));
}

TEST(EventFd, EveryInstanceHasItsOwnDescriptor)
{
    const EventFd first, second;
    EXPECT_NE(first.get(), second.get());
    first.signal();
    EXPECT_FALSE(readable(second, 0));
    EXPECT_TRUE(readable(first, 0));
}
