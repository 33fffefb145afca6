// Several threads translating at once while domains are created, catalogs are closed and
// opened again, and the built-in-text domain list grows. Run under ThreadSanitizer too (label
// "threads").

#include "TranslatorFixture.h"

#include <atomic>
#include <fstream>
#include <latch>
#include <thread>

using namespace gnugettext;
using namespace motest;

using TranslatorThreads = TranslatorFixture;

TEST_F(TranslatorThreads, TranslateWhileDomainsAreCreated)
{
    std::vector<Entry> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back({ "Message " + std::to_string(i), "Meldung " + std::to_string(i) });
    writeCatalog(catalog("de"), entries);
    writeCatalog(catalog("de", "cport"), { { "Only in cport", "Nur in cport" } }, allLayouts()[3]);
    start("de_DE.UTF-8");

    constexpr int threadCount = 6;
    constexpr int rounds = 1500;
    std::atomic<int> wrong { 0 };
    std::latch ready(threadCount + 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            ready.arrive_and_wait();
            for (int i = 0; i < rounds; ++i) {
                const int n = (i * 7 + t * 13) % 300;
                if (translateText("Message " + std::to_string(n)) != "Meldung " + std::to_string(n))
                    ++wrong;
                // A new domain on most rounds, shared with the other threads on some.
                const std::string domain = "d" + std::to_string((i + t * rounds) % 400);
                if (translateInDomain(domain, "Message 1") != "Message 1")
                    ++wrong;
                if (translateInDomain("cport", "Only in cport") != "Nur in cport")
                    ++wrong;
                if (translateBuiltinText("a\nb") != "a\r\nb")
                    ++wrong;
            }
        });
    }
    threads.emplace_back([&] {
        ready.arrive_and_wait();
        for (int i = 0; i < 50; ++i) {
            addBuiltinTextDomain("extra" + std::to_string(i));
            // Closes every catalog; lookups on other threads open them again.
            if (i % 5 == 0)
                chooseLanguage("de_DE.UTF-8");
        }
        addBuiltinTextDomain("cport");
    });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(translateBuiltinText("Only in cport"), "Nur in cport");
}

// A catalog copied over the open one (cp truncates the file and writes it again in place)
// while lookups run: the translations the program opened stay, and nothing reads memory the
// file system took away (a mapped file dies of SIGBUS here).
TEST_F(TranslatorThreads, CatalogReplacedInPlaceDuringLookupsKeepsTheOldTexts)
{
    constexpr int entryCount = 2000;
    const auto entries = [](const std::string& prefix) {
        std::vector<Entry> list;
        for (int i = 0; i < entryCount; ++i)
            list.push_back({ "Message " + std::to_string(i), prefix + std::to_string(i) });
        return list;
    };
    writeCatalog(catalog("de"), entries("Meldung "));
    const std::string replacement = compileCatalog(entries("Neue Meldung "));
    ASSERT_GT(replacement.size(), 16 * 4096u) << "the catalog must span many pages";
    start("de");
    ASSERT_EQ(translateText("Message 1999"), "Meldung 1999");

    std::atomic<bool> replacing { true };
    std::atomic<int> wrong { 0 };
    std::atomic<int> lookups { 0 };
    std::thread reader([&] {
        for (int i = 0; replacing.load() || i < entryCount; ++i) {
            const int n = (i * 37) % entryCount;
            if (translateText("Message " + std::to_string(n)) != "Meldung " + std::to_string(n))
                ++wrong;
            ++lookups;
        }
    });
    for (int round = 0; round < 20; ++round) {
        // Truncated first, then written a piece at a time, as cp does.
        std::ofstream file(catalog("de"), std::ios::binary | std::ios::trunc);
        for (std::size_t at = 0; at < replacement.size(); at += 4096)
            file << replacement.substr(at, 4096) << std::flush;
    }
    replacing = false;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GE(lookups.load(), entryCount);
    // Every key of the first catalog, last pages included, still answers from the old copy.
    EXPECT_EQ(translateText("Message 0"), "Meldung 0");
    EXPECT_EQ(translateText("Message 1234"), "Meldung 1234");
}
