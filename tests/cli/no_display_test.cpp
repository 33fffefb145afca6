// The window program started where there is no display (as over SSH): one line that says it
// needs a graphical session and names quillet-send, and exit code 1 instead of an abort.
#include "tests/cli/ProgramRun.h"

#include <gtest/gtest.h>

using testsupport::lines;
using testsupport::runProgram;

namespace {

void expectOneLineRefusal(const std::vector<std::string>& errorLines)
{
    ASSERT_FALSE(errorLines.empty());
    const std::string& last = errorLines.back();
    EXPECT_NE(last.find("graphical session"), std::string::npos) << last;
    EXPECT_NE(last.find("quillet-send"), std::string::npos) << last;
    for (const auto& line : errorLines)
        EXPECT_EQ(line.find("Reinstalling"), std::string::npos) << line;
}

} // namespace

TEST(NoDisplay, NoDisplayNamedAtAll)
{
    // runProgram removes DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
    const auto run = runProgram(QUILLET, {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
    expectOneLineRefusal(lines(run.err));
}

TEST(NoDisplay, ADisplayNamedThatCannotBeReached)
{
    // No X server can have this number: its socket and TCP port cannot exist.
    const auto run = runProgram(QUILLET, {}, { {}, { { "DISPLAY", ":99999" } } });
    EXPECT_EQ(run.exitCode, 1);
    expectOneLineRefusal(lines(run.err));
}
