#include "support/TestSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kOption = "--tests-from=";

std::vector<std::string> takeNamedFiles(int& argc, char** argv)
{
    std::vector<std::string> files;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.substr(0, kOption.size()) != kOption) {
            argv[kept++] = argv[i];
            continue;
        }
        std::istringstream list { std::string(argument.substr(kOption.size())) };
        for (std::string file; std::getline(list, file, ',');)
            files.push_back(file);
    }
    argc = kept;
    argv[argc] = nullptr;
    return files;
}

// __FILE__ of a test is the path its file was compiled by: absolute, or relative to the build.
bool definedIn(const char* testFile, const std::string& file)
{
    const std::string_view path = testFile;
    return path == file
        || (path.size() > file.size() && path.substr(path.size() - file.size()) == file
            && path[path.size() - file.size() - 1] == '/');
}

} // namespace

bool keepTestsFromNamedFiles(int& argc, char** argv)
{
    const std::vector<std::string> files = takeNamedFiles(argc, argv);
    if (files.empty() || GTEST_FLAG_GET(filter) != "*")
        return true;
    const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
    const auto inNamedFile = [&files](const char* path) {
        return std::any_of(files.begin(), files.end(),
            [path](const std::string& file) { return definedIn(path, file); });
    };
    std::string filter;
    for (int s = 0; s < tests.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *tests.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const testing::TestInfo& test = *suite.GetTestInfo(t);
            if (inNamedFile(test.file()))
                filter
                    += (filter.empty() ? "" : ":") + std::string(suite.name()) + "." + test.name();
        }
    }
    // A file listed for its helpers (a fake device, say) may define no test of its own; the entry
    // as a whole must run some, or it was registered with the wrong files.
    if (filter.empty()) {
        std::cerr << "No test is defined in the files named by " << kOption << "\n";
        return false;
    }
    GTEST_FLAG_SET(filter, filter);
    return true;
}
