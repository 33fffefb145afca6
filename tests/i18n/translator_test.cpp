// The translator through the module's functions, with catalogs made by msgfmt beside a
// stand-in executable.

#include "TranslatorFixture.h"
#include "i18n/CatalogBytes.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace gnugettext;
using namespace motest;

namespace {

const std::vector<Entry> germanEntries {
    { "OK", "Jawohl" },
    { "&Copy", "&Kopieren" },
    { "Line one\nLine two", "Zeile eins\nZeile zwei" },
    { "Two\r\nlines", "Zwei\r\nZeilen" },
};

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& error) {
        return error.message();
    }
    return "(no error)";
}

} // namespace

using Translator = TranslatorFixture;

TEST_F(Translator, ReadsCatalogsOfEveryLayout)
{
    for (const Layout& layout : allLayouts()) {
        writeCatalog(catalog("de"), germanEntries, layout);
        start("de_DE.UTF-8");
        EXPECT_EQ(translateText("OK"), "Jawohl") << layout.name;
        EXPECT_EQ(translateInDomain("default", "&Copy"), "&Kopieren") << layout.name;
        EXPECT_EQ(translateText("Cancel"), "Cancel") << layout.name;
        endGnuGettext();
    }
}

TEST_F(Translator, SearchesTheFullCodeThenItsLanguage)
{
    struct Case {
        const char* lang;
        std::vector<const char*> folders;
        const char* expected;
    };
    const Case cases[] = {
        { "de_DE.UTF-8", { "de" }, "OK in de" },
        { "de_DE.UTF-8", { "de_DE", "de" }, "OK in de_DE" },
        { "de_DE", { "de_DE" }, "OK in de_DE" },
        { "fr", { "fr" }, "OK in fr" },
        { "C", { "de", "C" }, "OK in C" },
        { "C.UTF-8", { "de" }, "OK" },
        { "de_AT.UTF-8", { "de_DE" }, "OK" },
        // Codes that could lead out of the catalog folder never form a path.
        { "../locale/de", { "de" }, "OK" },
        { "de/../de", { "de" }, "OK" },
        { ".hidden", { ".hidden", ".h" }, "OK" },
    };
    for (const Case& c : cases) {
        testsupport::TempDir folder;
        for (const char* language : c.folders)
            writeCatalog(folder.path() + "/locale/" + language + "/LC_MESSAGES/default.mo",
                { { "OK", std::string("OK in ") + language } });
        m_environment.set("LANG", std::string(c.lang));
        startGnuGettext({ folder.path() + "/quillet", 0 });
        EXPECT_EQ(translateText("OK"), c.expected) << c.lang;
        endGnuGettext();
    }
}

TEST_F(Translator, AppliesTheLineEndRuleWithAndWithoutCatalog)
{
    struct Case {
        const char* text;
        const char* withoutCatalog;
        const char* withCatalog;
    };
    const Case cases[] = {
        { "a\nb", "a\r\nb", "a\r\nb" },
        { "a\r\nb", "a\r\nb", "a\r\nb" },
        { "a\rb", "ab", "ab" },
        { "\n\n", "\r\n\r\n", "\r\n\r\n" },
        { "Line one\nLine two", "Line one\r\nLine two", "Zeile eins\r\nZeile zwei" },
        { "Line one\r\nLine two", "Line one\r\nLine two", "Zeile eins\r\nZeile zwei" },
        // Keys are asked for without carriage returns: a catalog key holding one never answers.
        { "Two\nlines", "Two\r\nlines", "Two\r\nlines" },
        { "", "", "" },
        // Only carriage returns: nothing is left, and that is no failure.
        { "\r", "", "" },
    };
    start("de");
    for (const Case& c : cases)
        EXPECT_EQ(translateText(c.text), c.withoutCatalog) << c.text;
    endGnuGettext();
    writeCatalog(catalog("de"), germanEntries);
    start("de");
    for (const Case& c : cases)
        EXPECT_EQ(translateText(c.text), c.withCatalog) << c.text;
}

TEST_F(Translator, EmptyOrMalformedTranslationIsAnError)
{
    // msgfmt leaves out empty translations: point the entry at its own terminator instead.
    std::string mo = compileCatalog({ { "Empty", "x" }, { "OK", "Jawohl" } });
    const std::uint32_t descriptor = readWord(mo, translationsField) + 8; // "Empty"
    writeWord(mo, descriptor + 4, readWord(mo, descriptor + 4) + readWord(mo, descriptor));
    writeWord(mo, descriptor, 0);
    writeBytes(catalog("de"), mo);
    writeCatalog(catalog("de", "latin"), { { "Umlaut", "\xe4" } }, {}, "ISO-8859-1");
    start("de");
    EXPECT_EQ(errorOf([] { translateText("Empty"); }),
        "Error: Could not translate Empty. Probably because the mo file doesn't contain utf-8 "
        "encoded translations.");
    EXPECT_EQ(errorOf([] { translateInDomain("latin", "Umlaut"); }),
        "Error: Could not translate Umlaut. Probably because the mo file doesn't contain utf-8 "
        "encoded translations.");
    EXPECT_EQ(translateText("OK"), "Jawohl");
}

TEST_F(Translator, DamagedCatalogFailsAtEveryLookup)
{
    const std::string valid = compileCatalog(germanEntries);
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string wrongMagic = valid;
    wrongMagic[3] = 0;
    std::string countTooLarge = valid;
    writeWord(countTooLarge, countField, 1000);
    const Case cases[] = {
        { "wrong magic", wrongMagic },
        { "cut short", valid.substr(0, valid.size() - 10) },
        { "count too large", countTooLarge },
        { "empty", "" },
    };
    for (const Case& c : cases) {
        writeBytes(catalog("de"), c.bytes);
        start("de");
        const std::string expected
            = "This file is not a valid GNU gettext mo file: " + catalog("de");
        for (const char* text : { "OK", "OK", "Cancel" })
            EXPECT_EQ(errorOf([text] { translateText(text); }), expected) << c.what;
        // The empty text never needs the catalog.
        EXPECT_EQ(translateText(""), "") << c.what;
        // The next lookup tries again, so a mended file is read.
        writeBytes(catalog("de"), valid);
        EXPECT_EQ(translateText("OK"), "Jawohl") << c.what;
        endGnuGettext();
    }
}

TEST_F(Translator, MissingCatalogIsSearchedForOnlyOnce)
{
    start("de");
    EXPECT_EQ(translateText("OK"), "OK");
    writeCatalog(catalog("de"), germanEntries);
    EXPECT_EQ(translateText("OK"), "OK");
    // Binding the domain again (or choosing a language) lets it search once more.
    bindDomain("default", m_folder.path() + "/bin/locale/");
    EXPECT_EQ(translateText("OK"), "Jawohl");
    chooseLanguage("fr_FR.UTF-8");
    EXPECT_EQ(languageCode(), "fr_FR");
    EXPECT_EQ(translateText("OK"), "OK");
}

TEST_F(Translator, CatalogThatIsNoFileIsNoCatalog)
{
    std::filesystem::create_directories(catalog("de"));
    start("de");
    EXPECT_EQ(translateText("OK"), "OK");
}

TEST(CatalogBytes, ReportsFilesItCannotReadAndReadsRanges)
{
    testsupport::TempDir folder;
    const std::string missing = folder.path() + "/missing.mo";
    const auto read = [](const std::string& path) { readCatalogBytes(path, 0, 100); };
    EXPECT_EQ(errorOf([&] { read(missing); }), "Cannot open file " + missing);
    EXPECT_EQ(
        errorOf([&] { read(folder.path()); }), "Cannot create memory map on file " + folder.path());
    const std::string fifo = folder.path() + "/fifo.mo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(errorOf([&] { read(fifo); }), "Cannot create memory map on file " + fifo);
    folder.writeFile("small.mo", "abcdef");
    const std::string small = folder.file("small.mo");
    EXPECT_EQ(readCatalogBytes(small, 0, 100), "abcdef");
    EXPECT_EQ(readCatalogBytes(small, 2, 3), "cde");
    EXPECT_EQ(readCatalogBytes(small, 4, 100), "ef");
    EXPECT_EQ(readCatalogBytes(small, 6, 100), "");
    EXPECT_EQ(readCatalogBytes(small, 1000, 100), "");
}

TEST_F(Translator, BuiltinTextsGoThroughDefaultThenCport)
{
    writeCatalog(catalog("de"), germanEntries);
    writeCatalog(catalog("de", "cport"),
        { { "OK", "cport OK" },
            { "Unable to open com port", "COM-Port kann nicht geöffnet werden" },
            { " (win error code: %d)", " (Windows-Fehler: %d)" }, { "x\ny", "cport x y" } });
    EXPECT_EQ(translateBuiltinText("OK"), "OK"); // not started
    start("de_DE.UTF-8");
    EXPECT_EQ(translateBuiltinText("OK"), "Jawohl");
    EXPECT_EQ(translateBuiltinText("Unable to open com port"), "Unable to open com port");
    addBuiltinTextDomain("cport");
    EXPECT_EQ(translateBuiltinText("OK"), "Jawohl");
    EXPECT_EQ(
        translateBuiltinText("Unable to open com port"), "COM-Port kann nicht geöffnet werden");
    // Changed by the line-end rule in "default", so "cport" is not asked.
    EXPECT_EQ(translateBuiltinText("x\ny"), "x\r\ny");
    EXPECT_EQ(translateBuiltinText("Not anywhere"), "Not anywhere");

    // The serial component's error message: its table text and the suffix, each translated.
    const std::string message = translateBuiltinText("Unable to open com port")
        + platform::formatMessage(
            translateBuiltinText(" (win error code: %d)"), { std::int64_t { 2 } });
    EXPECT_EQ(message, "COM-Port kann nicht geöffnet werden (Windows-Fehler: 2)");
    EXPECT_EQ(loadBuiltinText("Unable to open com port"),
        "COM-Port kann nicht ge\xf6"
        "ffnet werden");
    endGnuGettext();
    EXPECT_EQ(translateBuiltinText("OK"), "OK");
    EXPECT_EQ(translateText("a\nb"), "a\nb");
    EXPECT_EQ(errorOf([] { chooseLanguage("de"); }), "The translator has not been started");
    EXPECT_EQ(
        errorOf([] { addBuiltinTextDomain("cport"); }), "The translator has not been started");
}

TEST_F(Translator, OverlongTranslationsOfShortTextsAreIgnoredAndTheCatalogReportedOnce)
{
    const std::string longest(builtinTextLimit, 'x');
    const std::string tooLong = std::string(builtinTextLimit, 'y') + "z";
    writeCatalog(catalog("de"),
        { { "OK", tooLong }, { "Cancel", longest }, { "&Close", tooLong + tooLong },
            { "Yes", "Ja" } });
    writeCatalog(catalog("de", "cport"), { { "&Close", "cport Close" } });
    start("de");
    addBuiltinTextDomain("cport");

    testing::internal::CaptureStderr();
    EXPECT_EQ(translateBuiltinText("OK"), "OK");
    EXPECT_EQ(translateBuiltinText("OK"), "OK");
    EXPECT_EQ(translateShortText("OK"), "OK");
    EXPECT_EQ(translateBuiltinText("Cancel"), longest) << "the limit itself is allowed";
    // Ignored in "default" as if it were missing there, so the next domain may answer.
    EXPECT_EQ(translateBuiltinText("&Close"), "cport Close");
    EXPECT_EQ(translateBuiltinText("Yes"), "Ja");
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report,
        "gnugettext: suspicious catalog " + catalog("de")
            + ": the translation of \"OK\" is 4097 bytes long; translations of built-in texts "
              "longer than 4096 bytes are ignored\n");
    // Texts that are not short built-in texts keep their whole translation.
    EXPECT_EQ(translateText("OK"), tooLong);
}
