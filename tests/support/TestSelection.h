// Which tests a test program runs. A program holds the tests of all the files of its folder;
// CTest runs it once per file (or group of files) with --tests-from=<file>[,<file>...], the paths
// from the source tree's top, and each run keeps only the tests defined in those files.
#pragma once

// Removes --tests-from from the arguments and narrows GoogleTest's filter to those files' tests.
// Call after testing::InitGoogleTest. A filter given by hand (--gtest_filter) is left as it is.
// Returns false, having said why on standard error, when a named file defines no test.
bool keepTestsFromNamedFiles(int& argc, char** argv);
