// The exit status of a GoogleTest program for CTest: 77 when every test that ran passed but at
// least one skipped itself (GTEST_SKIP), so CTest reports the program as skipped, not passed.
#pragma once

#include <gtest/gtest.h>

constexpr int kSkippedExitCode = 77;

inline int runAllTestsReportingSkips()
{
    const int result = RUN_ALL_TESTS();
    if (result == 0 && testing::UnitTest::GetInstance()->skipped_test_count() > 0)
        return kSkippedExitCode;
    return result;
}
