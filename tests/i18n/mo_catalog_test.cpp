// The .mo reader on msgfmt's own output in all four layouts, and on damaged catalogs.

#include "MoFiles.h"
#include "i18n/MoCatalog.h"
#include "platform/Exception.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using gnugettext::MoCatalog;
using namespace motest;

namespace {

const std::vector<Entry> entries {
    { "OK", "Jawohl" },
    { "&Cancel", "&Abbrechen" },
    { "Unable to open com port", "COM-Port kann nicht geöffnet werden" },
    { "Line one\nLine two", "Zeile eins\nZeile zwei" },
    { "Zebra", "Zebra (de)" },
    { "A", "Ä" },
};

const unsigned char* bytes(const std::string& mo)
{
    return reinterpret_cast<const unsigned char*>(mo.data());
}

std::optional<std::string> find(const std::string& mo, std::string_view key)
{
    const MoCatalog catalog(bytes(mo), mo.size(), "test.mo");
    const auto found = catalog.find(key);
    return found ? std::optional<std::string>(std::string(*found)) : std::nullopt;
}

void expectInvalid(const std::string& mo, const std::string& what)
{
    try {
        MoCatalog(bytes(mo), mo.size(), "/x/default.mo");
        ADD_FAILURE() << what << ": accepted";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.message(), "This file is not a valid GNU gettext mo file: /x/default.mo")
            << what;
    }
}

} // namespace

TEST(MoCatalog, FindsEveryEntryInEveryLayout)
{
    for (const Layout& layout : allLayouts()) {
        const std::string mo = compileCatalog(entries, layout);
        const MoCatalog catalog(bytes(mo), mo.size(), "test.mo");
        EXPECT_EQ(catalog.count(), entries.size() + 1) << layout.name; // plus the header
        for (const Entry& entry : entries)
            EXPECT_EQ(catalog.find(entry.msgid), entry.msgstr)
                << layout.name << ": " << entry.msgid;
        for (const char* missing : { "Ok", "OK ", "Zebras", "0", "zzz", "Line one" })
            EXPECT_FALSE(catalog.find(missing)) << layout.name << ": " << missing;
        // The empty key's entry is the header, which is never a translation.
        EXPECT_FALSE(catalog.find("")) << layout.name;
        EXPECT_FALSE(catalog.find(std::string("OK\0x", 4))) << layout.name;
    }
}

TEST(MoCatalog, PluralEntryAnswersItsSingularWithTheFirstForm)
{
    testsupport::TempDir dir;
    dir.writeFile("p.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "msgid \"%d file\"\nmsgid_plural \"%d files\"\n"
        "msgstr[0] \"%d Datei\"\nmsgstr[1] \"%d Dateien\"\n");
    for (const char* options : { "", " --no-hash" }) {
        ASSERT_EQ(std::system(("msgfmt" + std::string(options) + " -o '" + dir.file("p.mo") + "' '"
                      + dir.file("p.po") + "'")
                                  .c_str()),
            0);
        const std::string mo = dir.readFile("p.mo");
        EXPECT_EQ(find(mo, "%d file"), "%d Datei") << options;
        EXPECT_FALSE(find(mo, "%d files")) << options;
    }
}

TEST(MoCatalog, ManyEntriesThroughHashAndSearch)
{
    std::vector<Entry> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back({ "Message " + std::to_string(i), "Meldung " + std::to_string(i) });
    for (const Layout& layout : allLayouts()) {
        const std::string mo = compileCatalog(many, layout);
        const MoCatalog catalog(bytes(mo), mo.size(), "many.mo");
        // Thousands of keys share places of the index, and near misses share their lengths
        // and most bytes: every answer must still be checked against its key, in any order.
        for (int pass = 0; pass < 3; ++pass) {
            for (int i = pass; i < 2000; ++i) {
                ASSERT_EQ(
                    catalog.find("Message " + std::to_string(i)), "Meldung " + std::to_string(i))
                    << layout.name << " pass " << pass;
                ASSERT_FALSE(catalog.find("Message " + std::to_string(i) + "x")) << layout.name;
            }
        }
        EXPECT_FALSE(catalog.find("Message 2000")) << layout.name;
    }
}

TEST(MoCatalog, RejectsEveryKindOfDamage)
{
    struct Damage {
        const char* what;
        void (*apply)(std::string& mo);
        bool needsHash;
    };
    const Damage damages[] = {
        { "wrong magic", [](std::string& mo) { mo[0] = 'x'; }, false },
        { "header cut short", [](std::string& mo) { mo.resize(20); }, false },
        { "empty file", [](std::string& mo) { mo.clear(); }, false },
        { "major revision 2", [](std::string& mo) { writeWord(mo, revisionField, 0x20000); },
            false },
        { "extended header cut short",
            [](std::string& mo) {
                writeWord(mo, revisionField, 1);
                mo.resize(40);
            },
            false },
        { "count beyond the tables", [](std::string& mo) { writeWord(mo, countField, 0x20000000); },
            false },
        { "originals table outside",
            [](std::string& mo) {
                writeWord(mo, originalsField, static_cast<std::uint32_t>(mo.size() - 4));
            },
            false },
        { "translations table outside",
            [](std::string& mo) { writeWord(mo, translationsField, 0xfffffff0); }, false },
        { "text offset outside",
            [](std::string& mo) { writeWord(mo, readWord(mo, originalsField) + 12, 0xffffff00); },
            false },
        { "text length outside",
            [](std::string& mo) { writeWord(mo, readWord(mo, translationsField) + 8, 0x7fffffff); },
            false },
        { "missing terminator",
            [](std::string& mo) {
                const std::uint32_t descriptor = readWord(mo, originalsField) + 8;
                writeWord(mo, descriptor, readWord(mo, descriptor) - 1);
            },
            false },
        { "hash table outside",
            [](std::string& mo) {
                writeWord(mo, hashTableField, static_cast<std::uint32_t>(mo.size()));
            },
            true },
        { "hash size 2", [](std::string& mo) { writeWord(mo, hashSizeField, 2); }, true },
        { "hash size 1", [](std::string& mo) { writeWord(mo, hashSizeField, 1); }, true },
        { "hash entry past the strings",
            [](std::string& mo) {
                const std::uint32_t table = readWord(mo, hashTableField);
                writeWord(mo, table, readWord(mo, countField) + 1);
            },
            true },
        { "unsorted without hash",
            [](std::string& mo) {
                // Swap the descriptors of the first two texts after the header.
                const std::uint32_t table = readWord(mo, originalsField) + 8;
                const std::string first = mo.substr(table, 8);
                mo.replace(table, 8, mo.substr(table + 8, 8));
                mo.replace(table + 8, 8, first);
            },
            false },
    };
    for (const Layout& layout : allLayouts()) {
        const std::string valid = compileCatalog(entries, layout);
        for (const Damage& damage : damages) {
            if (damage.needsHash && !layout.hashTable)
                continue;
            if (std::string_view(damage.what) == "unsorted without hash" && layout.hashTable)
                continue;
            std::string mo = valid;
            damage.apply(mo);
            expectInvalid(mo, std::string(layout.name) + ", " + damage.what);
        }
    }
}

TEST(MoCatalog, FullHashTableEndsTheProbing)
{
    // Every slot names the first string: glibc would probe forever for a missing key.
    std::string mo = compileCatalog(entries);
    const std::uint32_t table = readWord(mo, hashTableField);
    const std::uint32_t size = readWord(mo, hashSizeField);
    for (std::uint32_t slot = 0; slot < size; ++slot)
        writeWord(mo, table + 4 * slot, 1);
    EXPECT_FALSE(find(mo, "not there"));
}

TEST(MoCatalog, ReadsACatalogAtAnUnalignedPlace)
{
    const std::string mo = "xyz" + compileCatalog(entries, allLayouts()[1]);
    const MoCatalog catalog(bytes(mo) + 3, mo.size() - 3, "embedded");
    EXPECT_EQ(catalog.find("OK"), "Jawohl");
}
