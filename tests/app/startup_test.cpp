// The start-up routine in a child process: a serial-port list that cannot be read while the port
// selector is bound ends the start with the "Application Error" box and exit code 1, before
// FormCreate; with a readable list the window is created, shown and the loop ends with exit
// code 0.
#include "platform/MessageBoxes.h"
#include "support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

struct ChildRun {
    int exitCode = -1;
    std::string output;
};

// Runs the child below a system root, with a configuration folder of its own.
ChildRun runChild(const testsupport::TestSysRoot&)
{
    const testsupport::TestConfigHome config;
    ChildRun run;
    const std::string command = std::string(START_CHILD) + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool has(const ChildRun& run, const std::string& line)
{
    return run.output.find(line + "\n") != std::string::npos;
}

} // namespace

TEST(Startup, AnUnreadablePortListEndsTheStartWithExitCode1)
{
    const testsupport::TestSysRoot noSerialPortList; // no sys/class/tty at all
    const ChildRun run = runChild(noSerialPortList);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(has(run, "title=Quillet v1.0")) << run.output;
    EXPECT_TRUE(has(run, "formCreate=0")) << run.output;
    EXPECT_TRUE(has(run, "shown=0")) << run.output;
    const std::string box
        = "box=" + std::to_string(static_cast<int>(platform::MessageKind::ApplicationError))
        + "|Application Error|Exception EReadError in module app_start_child at ";
    const std::size_t at = run.output.find(box);
    ASSERT_NE(at, std::string::npos) << run.output;
    const std::string rest = run.output.substr(at + box.size());
    EXPECT_EQ(rest.substr(rest.find('.')),
        ".\\nError reading ComComboBox1.ComProperty: Registry error (win error code: 2)\n");
    EXPECT_EQ(run.output.find("box=", at + 1), std::string::npos) << "exactly one box";
}

TEST(Startup, WithoutFailureFormCreateRunsTheWindowShowsAndTheExitCodeIs0)
{
    const testsupport::TestSysRoot root;
    std::filesystem::create_directories(root.path() + "/sys/class/tty/ttyS0/device/driver");
    const ChildRun run = runChild(root);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(has(run, "formCreate=1")) << run.output;
    EXPECT_TRUE(has(run, "shown=1")) << run.output;
    EXPECT_EQ(run.output.find("box="), std::string::npos) << run.output;
}
