// main() for widget tests: an offscreen QApplication exists before any test runs.
#include "support/SkipExit.h"
#include "support/TestSelection.h"
#include <QApplication>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (!keepTestsFromNamedFiles(argc, argv))
        return 1;
    return runAllTestsReportingSkips();
}
