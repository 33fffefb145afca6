// Where the program finds its message catalogs once installed: the "locale" folder beside the
// executable when there is one, else <prefix>/share/quillet/locale of an installed tree.
#include "tests/i18n/TranslatorFixture.h"

#include <filesystem>
#include <fstream>

using motest::TranslatorFixture;

namespace {

class CatalogFolder : public TranslatorFixture {
protected:
    CatalogFolder() { std::filesystem::create_directories(m_folder.path() + "/bin"); }

    std::string installedCatalog(const std::string& domain) const
    {
        return m_folder.path() + "/share/quillet/locale/de/LC_MESSAGES/" + domain + ".mo";
    }
};

} // namespace

TEST_F(CatalogFolder, InstalledTreeServesEveryDomainFromItsShareFolder)
{
    motest::writeCatalog(installedCatalog("default"), { { "OK", "Jawohl" } });
    motest::writeCatalog(installedCatalog("cport"), { { "Unable to open com port", "Zu" } });
    start("de_DE.UTF-8");
    EXPECT_EQ(gnugettext::translateText("OK"), "Jawohl");
    EXPECT_EQ(gnugettext::translateInDomain("cport", "Unable to open com port"), "Zu");
}

TEST_F(CatalogFolder, AFolderBesideTheExecutableWinsEvenWhenEmpty)
{
    motest::writeCatalog(installedCatalog("default"), { { "OK", "Jawohl" } });
    std::filesystem::create_directories(m_folder.path() + "/bin/locale");
    start("de_DE.UTF-8");
    EXPECT_EQ(gnugettext::translateText("OK"), "OK");

    gnugettext::endGnuGettext();
    motest::writeCatalog(catalog("de"), { { "OK", "Gut" } });
    start("de_DE.UTF-8");
    EXPECT_EQ(gnugettext::translateText("OK"), "Gut");
}

TEST_F(CatalogFolder, WithNeitherFolderCatalogsPlacedBesideTheExecutableLaterAreFound)
{
    start("de_DE.UTF-8");
    EXPECT_EQ(gnugettext::translateText("OK"), "OK");
    // A domain opens its catalog on first use: one placed now, beside the executable, counts.
    motest::writeCatalog(catalog("de", "cport"), { { "Unable to open com port", "Zu" } });
    EXPECT_EQ(gnugettext::translateInDomain("cport", "Unable to open com port"), "Zu");
}

// Debian's /usr/bin holds the C library's "locale" program: a file of that name beside the
// executable is no catalog folder and must not hide the installed one.
TEST_F(CatalogFolder, ALocaleProgramBesideTheExecutableDoesNotHideTheInstalledCatalogs)
{
    motest::writeCatalog(installedCatalog("default"), { { "OK", "Jawohl" } });
    motest::writeCatalog(installedCatalog("cport"), { { "Unable to open com port", "Zu" } });
    {
        std::ofstream program(m_folder.path() + "/bin/locale");
        program << "#!/bin/sh\n";
    }
    start("de_DE.UTF-8");
    EXPECT_EQ(gnugettext::translateText("OK"), "Jawohl");
    EXPECT_EQ(gnugettext::translateInDomain("cport", "Unable to open com port"), "Zu");
}
