// quillet-send says its failures in the user's language, as the window does, from the catalogs
// beside the program, in the character set of the user's terminal; without catalogs, in the
// texts as built.
#include "i18n/MoFiles.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(Language, ThePortErrorFromTheCatalogBesideTheProgram)
{
    testsupport::TempDir folder;
    const std::string program = folder.path() + "/bin/quillet-send";
    std::filesystem::create_directories(folder.path() + "/bin");
    std::filesystem::copy_file(QUILLET_SEND, program);
    // The program finds the network library beside itself.
    std::filesystem::copy_file(ZEVARUV, folder.path() + "/bin/libZEVarUV.so");
    const testsupport::TempDir emptyMachine;
    testsupport::ProgramOptions german { {},
        { { "LANG", "de_DE.UTF-8" }, { "LC_ALL", "" }, { "LC_MESSAGES", "" }, { "LC_CTYPE", "" },
            { "QUILLET_SYSROOT", emptyMachine.path() } },
        60000 };

    auto run = testsupport::runProgram(program, { "--com", "ttyMissing0", "cut" }, german);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillet-send: Unable to open com port (win error code: 2)\n");

    motest::writeCatalog(folder.path() + "/bin/locale/de/LC_MESSAGES/default.mo",
        { { "Unable to open com port", "COM-Port kann nicht geöffnet werden" },
            { " (win error code: %d)", " (Windows-Fehler: %d)" } });
    run = testsupport::runProgram(program, { "--com", "ttyMissing0", "cut" }, german);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
        "quillet-send: COM-Port kann nicht ge\xC3\xB6"
        "ffnet werden (Windows-Fehler: 2)\n");

    // In the terminal's character set (LC_CTYPE), which the locale's name gives whether or not
    // the machine has that locale generated; "?" where the set lacks a letter.
    for (const auto& [locale, letter] : std::vector<std::pair<std::string, std::string>> {
             { "de_DE.ISO-8859-1", "\xF6" }, { "C", "?" } }) {
        german.environment[3].second = locale;
        run = testsupport::runProgram(program, { "--com", "ttyMissing0", "cut" }, german);
        EXPECT_EQ(run.err,
            "quillet-send: COM-Port kann nicht ge" + letter + "ffnet werden (Windows-Fehler: 2)\n");
    }
}
