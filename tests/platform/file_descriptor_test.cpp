// The descriptor owner: each descriptor is closed exactly once, by whoever owns it last. The
// pipe's write end is the descriptor under test: its reader sees the end of the data exactly
// when the last owner has closed it.
#include "platform/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using platform::FileDescriptor;

namespace {

// A pipe whose read end the test keeps; the write end goes to an owner.
struct Pipe {
    Pipe()
    {
        int ends[2];
        EXPECT_EQ(::pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
        reader.reset(ends[0]);
        writer = ends[1];
    }
    // Whether the write end is closed: the reader sees the end of the data, not "nothing yet".
    bool writerClosed() const
    {
        char byte;
        return ::read(reader.get(), &byte, 1) == 0;
    }
    FileDescriptor reader;
    int writer;
};

bool isOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

} // namespace

TEST(FileDescriptor, ClosesWhenTheOwnerGoesAndNotBefore)
{
    Pipe pipe;
    {
        const FileDescriptor owner(pipe.writer);
        EXPECT_FALSE(pipe.writerClosed());
        EXPECT_EQ(owner.get(), pipe.writer);
    }
    EXPECT_TRUE(pipe.writerClosed());
}

TEST(FileDescriptor, MovingHandsTheDescriptorOverWithoutClosingIt)
{
    Pipe pipe;
    FileDescriptor last;
    {
        FileDescriptor first(pipe.writer);
        FileDescriptor second(std::move(first));
        EXPECT_FALSE(first.valid());
        last = std::move(second);
        EXPECT_FALSE(second.valid());
    }
    EXPECT_FALSE(pipe.writerClosed());
    EXPECT_EQ(last.get(), pipe.writer);
    last = FileDescriptor();
    EXPECT_TRUE(pipe.writerClosed());
}

TEST(FileDescriptor, TakingANewDescriptorClosesTheOldOne)
{
    Pipe old, next;
    FileDescriptor owner(old.writer);
    owner.reset(next.writer);
    EXPECT_TRUE(old.writerClosed());
    EXPECT_FALSE(next.writerClosed());
    owner.reset(next.writer); // the same descriptor again stays open
    EXPECT_FALSE(next.writerClosed());
}

TEST(FileDescriptor, ReleasedDescriptorStaysOpen)
{
    Pipe pipe;
    int kept;
    {
        FileDescriptor owner(pipe.writer);
        kept = owner.release();
    }
    EXPECT_FALSE(pipe.writerClosed());
    const FileDescriptor retaken(kept);
}

TEST(FileDescriptor, ClosingNowReportsTheErrorAndNeverClosesTwice)
{
    Pipe pipe;
    FileDescriptor owner(pipe.writer);
    EXPECT_EQ(owner.close(), 0);
    EXPECT_TRUE(pipe.writerClosed());
    EXPECT_EQ(owner.close(), EBADF);

    // The number is free again and the next descriptor takes it: the old owner must leave it be.
    const int reused = ::dup(pipe.reader.get());
    ASSERT_EQ(reused, pipe.writer);
    owner = FileDescriptor();
    EXPECT_TRUE(isOpen(reused));
    const FileDescriptor retaken(reused);
}

TEST(FileDescriptor, AFailedOpenOwnsNothing)
{
    FileDescriptor none(::open("/nonexistent/quillet", O_RDONLY | O_CLOEXEC));
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.get(), -1);
}
