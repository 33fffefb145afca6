// raw - sends the bytes of standard input as they arrive, on one connection: the first piece
// reaches the printer while the input is still open, as `tail -f log | quillet-send raw -`
// needs.
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"
#include "tests/printer/ScriptedPrinter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(RawStream, EachPieceGoesOutBeforeTheInputEnds)
{
    auto printer = testsupport::ScriptedPrinter::onPty();
    testsupport::TempDir folder;
    const std::string input = folder.file("input");
    ASSERT_EQ(::mkfifo(input.c_str(), 0600), 0);

    testsupport::ProgramResult run;
    std::thread program([&] {
        run = testsupport::runProgram("/bin/sh",
            { "-c", "exec \"$0\" --com \"$1\" raw - <\"$2\"", QUILLET_SEND,
                printer->slavePath() + ":9600", input });
    });
    const int writer = ::open(input.c_str(), O_WRONLY | O_CLOEXEC); // waits for the program
    ASSERT_GE(writer, 0);
    const std::string first = "\x1B@first line\r\n";
    ASSERT_EQ(::write(writer, first.data(), first.size()), ssize_t(first.size()));
    // Arrives while the input is still open: nothing waits for its end.
    EXPECT_EQ(printer->received(first.size(), 10000), first);
    const std::string second = "second line\r\n\x1DV\x42";
    ASSERT_EQ(::write(writer, second.data(), second.size()), ssize_t(second.size()));
    ::close(writer);
    program.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(printer->received(first.size() + second.size()), first + second);
}
