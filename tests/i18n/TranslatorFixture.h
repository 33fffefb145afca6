#pragma once
// A program folder in a temporary directory: the "executable" path the translator starts
// with, and the catalog paths beside it.

#include "Environment.h"
#include "MoFiles.h"
#include "i18n/gnugettext.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace motest {

class TranslatorFixture : public ::testing::Test {
protected:
    ~TranslatorFixture() override { gnugettext::endGnuGettext(); }

    std::string executable() const { return m_folder.path() + "/bin/quillet"; }
    std::string catalog(const std::string& language, const std::string& domain = "default") const
    {
        return m_folder.path() + "/bin/locale/" + language + "/LC_MESSAGES/" + domain + ".mo";
    }
    // Starts the module with LANG set to language (the other locale variables cleared).
    void start(const std::string& language)
    {
        m_environment.set("LANG", language);
        gnugettext::startGnuGettext({ executable(), 0 });
    }

    testsupport::TempDir m_folder;
    ScopedEnvironment m_environment;
};

} // namespace motest
