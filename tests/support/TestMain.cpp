// main() for tests without widgets.
#include "support/SkipExit.h"
#include "support/TestSelection.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!keepTestsFromNamedFiles(argc, argv))
        return 1;
    return runAllTestsReportingSkips();
}
