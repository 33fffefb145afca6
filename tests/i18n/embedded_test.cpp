// Catalogs embedded in an executable: the marker, the chain of entries, and their lookup.

#include "TranslatorFixture.h"
#include "i18n/TAssemblyAnalyzer.h"
#include "platform/Exception.h"

#include <fstream>
#include <iterator>

using namespace gnugettext;
using namespace motest;

namespace {

// Put together at run time, so this test program holds the marker's identifier only once.
std::string markerId()
{
    return std::string("6637DB2E-62E1-4A60") + "-AC19-C23867046A89";
}

std::string littleEndian64(std::uint64_t value)
{
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    return bytes;
}

struct Embedded {
    std::string name;
    std::string catalog;
};

// A stand-in executable: some code, the marker, the catalogs, then the chain naming them.
struct FakeExecutable {
    std::string bytes = std::string(100, '\x90');
    std::uint64_t chain = 0;

    explicit FakeExecutable(const std::vector<Embedded>& files, bool withChainEnd = true)
    {
        const std::size_t marker = bytes.size();
        bytes += markerId() + littleEndian64(0) + std::string(13, '\x90');
        std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
        for (const Embedded& file : files) {
            ranges.emplace_back(bytes.size(), file.catalog.size());
            bytes += file.catalog;
        }
        chain = bytes.size();
        bytes.replace(marker + 36, 8, littleEndian64(chain));
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::uint64_t next = bytes.size() + 24 + files[i].name.size();
            bytes += littleEndian64(next) + littleEndian64(ranges[i].first)
                + littleEndian64(ranges[i].second) + files[i].name;
        }
        if (withChainEnd)
            bytes += littleEndian64(0);
    }
};

std::size_t occurrences(const std::string& haystack, const std::string& needle)
{
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(EmbeddedMarker, BuiltProgramCarriesTheMarkerWithOffsetZero)
{
    std::ifstream self("/proc/self/exe", std::ios::binary);
    const std::string image { std::istreambuf_iterator<char>(self), {} };
    ASSERT_EQ(occurrences(image, markerId()), 1u);
    EXPECT_EQ(image.substr(image.find(markerId()) + 36, 8), std::string(8, '\0'));
    EXPECT_EQ(TAssemblyAnalyzer::builtInChainOffset(), 0u);
    EXPECT_EQ(TAssemblyAnalyzer::chainOffsetInFile("/proc/self/exe"), 0u);
}

TEST(EmbeddedMarker, ChainIsReadUntilItsEndOrItsFirstFault)
{
    const std::string mo = compileCatalog({ { "OK", "Eingebettet" } });
    testsupport::TempDir folder;
    const std::string exe = folder.path() + "/quillet";
    struct Case {
        const char* what;
        std::vector<Embedded> files;
        bool withChainEnd;
        std::vector<const char*> found;
    };
    const Case cases[] = {
        { "names with blanks, backslashes and any letter case",
            { { "  locale\\DE\\LC_MESSAGES\\default.mo\r\n", mo },
                { "locale/fr/LC_MESSAGES/cport.mo", mo } },
            true, { "locale/de/LC_MESSAGES/default.mo", "locale/FR/lc_messages/CPORT.mo" } },
        { "duplicate name ends the scan", { { "a.mo", mo }, { "A.MO", mo }, { "b.mo", mo } }, true,
            { "a.mo" } },
        { "file ends inside the chain", { { "a.mo", mo }, { "b.mo", mo } }, false,
            { "a.mo", "b.mo" } },
    };
    for (const Case& c : cases) {
        const FakeExecutable fake(c.files, c.withChainEnd);
        writeBytes(exe, fake.bytes);
        ASSERT_EQ(TAssemblyAnalyzer::chainOffsetInFile(exe), fake.chain) << c.what;
        TAssemblyAnalyzer analyzer;
        analyzer.analyze(exe, fake.chain);
        for (const char* name : c.found) {
            const auto info = analyzer.find(folder.path() + "/" + name);
            ASSERT_TRUE(info) << c.what << ": " << name;
            EXPECT_EQ(fake.bytes.substr(info->offset, info->size), mo) << c.what;
        }
        EXPECT_FALSE(analyzer.find(folder.path() + "/b.mo") && c.found.size() == 1) << c.what;
        EXPECT_FALSE(analyzer.find("/elsewhere/a.mo")) << c.what;
    }
}

TEST(EmbeddedMarker, ChainThatPointsBackwardsEnds)
{
    testsupport::TempDir folder;
    const std::string exe = folder.path() + "/quillet";
    // One entry whose "next" is its own position: read once, then the scan stops.
    std::string bytes = std::string(64, 'x');
    const std::string name = "a.mo";
    bytes += littleEndian64(64) + littleEndian64(0) + littleEndian64(8) + name;
    writeBytes(exe, bytes);
    TAssemblyAnalyzer analyzer;
    analyzer.analyze(exe, 64);
    EXPECT_FALSE(analyzer.find(folder.path() + "/a.mo"));
    // Nothing embedded: the file is not even opened.
    TAssemblyAnalyzer none;
    none.analyze(folder.path() + "/does-not-exist", 0);
    EXPECT_TRUE(none.executablePath().empty());
}

using EmbeddedCatalog = TranslatorFixture;

TEST_F(EmbeddedCatalog, WinsOverAFileOfTheSamePath)
{
    const FakeExecutable fake({ { "locale\\de\\LC_MESSAGES\\default.mo",
        compileCatalog({ { "OK", "Eingebettet" } }, allLayouts()[1]) } });
    writeBytes(executable(), fake.bytes);
    writeCatalog(catalog("de"), { { "OK", "Aus der Datei" } });
    writeCatalog(catalog("de", "cport"), { { "OK", "cport aus der Datei" } });
    m_environment.set("LANG", std::string("de_DE.UTF-8"));
    startGnuGettext({ executable(), TAssemblyAnalyzer::chainOffsetInFile(executable()) });
    EXPECT_EQ(translateText("OK"), "Eingebettet");
    EXPECT_EQ(translateInDomain("cport", "OK"), "cport aus der Datei");
}

TEST_F(EmbeddedCatalog, RangeOutsideTheFileIsAnInvalidCatalog)
{
    FakeExecutable fake(
        { { "locale/de/LC_MESSAGES/default.mo", compileCatalog({ { "OK", "x" } }) } });
    // The size field of the only entry: far beyond the end of the file.
    fake.bytes.replace(fake.chain + 16, 8, littleEndian64(1u << 30));
    writeBytes(executable(), fake.bytes);
    m_environment.set("LANG", std::string("de"));
    startGnuGettext({ executable(), fake.chain });
    try {
        translateText("OK");
        FAIL() << "accepted";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(
            error.message(), "This file is not a valid GNU gettext mo file: " + catalog("de"));
    }
}
