// main() for tests without widgets.
#include "support/SkipExit.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return runAllTestsReportingSkips();
}
