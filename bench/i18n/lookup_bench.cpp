// Lookup cost of the translator beside glibc's dgettext on a real catalog, in the same run: every
// msgid of a Debian catalog (coreutils' German one; QUILLET_BENCH_MO names another), looked up
// once per round in a new random order, as hits and as misses; median processor nanoseconds per
// lookup, and the raw ratio (goal at most 0.5). glibc keeps a tree of the translations it found;
// the catalog keeps nothing per lookup (it indexes every entry when opened), which is checked on
// the catalog alone: the same keys on a freshly opened catalog and on one that looked them up
// before. Needs localedef (a de_DE.UTF-8 locale is built in a temporary folder, since dgettext
// translates nothing in the "C" locale).

#include "bench/support/Median.h"
#include "i18n/MoCatalog.h"
#include "i18n/TextRules.h"
#include "i18n/gnugettext.h"
#include "support/TempDir.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using benchsupport::median;

constexpr int rounds = 21;
constexpr int blocks = 3;
const char* const domain = "bench";
const char* const defaultCatalog = "/usr/share/locale/de/LC_MESSAGES/coreutils.mo";

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

std::uint32_t word(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + std::size_t(i)));
    return value;
}

// Every msgid of a little-endian .mo catalog (as Debian's are), up to its first zero byte (the
// singular of a plural entry); the header's empty msgid and entries with a context left out.
std::vector<std::string> msgids(const std::string& mo)
{
    std::vector<std::string> keys;
    if (mo.size() < 28 || word(mo, 0) != 0x950412de)
        return keys;
    const std::uint32_t count = word(mo, 8), originals = word(mo, 12);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t length = word(mo, originals + 8 * i),
                            offset = word(mo, originals + 8 * i + 4);
        std::string key = mo.substr(offset, length);
        key.resize(std::min(key.size(), key.find('\0')));
        if (!key.empty() && key.find('\x04') == std::string::npos)
            keys.push_back(std::move(key));
    }
    return keys;
}

bool run(const std::string& command)
{
    if (std::system(command.c_str()) == 0)
        return true;
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    return false;
}

bool prepareGlibc(const testsupport::TempDir& work)
{
    if (!run("localedef -i de_DE -f UTF-8 '" + work.file("locales/de_DE.UTF-8") + "' 2>/dev/null"))
        return false;
    ::setenv("LOCPATH", work.file("locales").c_str(), 1);
    ::unsetenv("LANGUAGE");
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        std::fprintf(stderr, "the de_DE.UTF-8 locale cannot be used\n");
        return false;
    }
    bindtextdomain(domain, work.file("locale").c_str());
    bind_textdomain_codeset(domain, "UTF-8");
    // Messages only: the figures below are printed with a full stop.
    std::setlocale(LC_NUMERIC, "C");
    return true;
}

// The thread's processor time: the machine is shared, and time spent waiting for a processor
// is no part of a lookup's cost.
double cpuNanoseconds()
{
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Nanoseconds per lookup of every key through lookup, once.
template <typename Lookup>
double nanosecondsPerLookup(const std::vector<std::string>& keys, Lookup lookup, std::size_t& sink)
{
    const double start = cpuNanoseconds();
    for (const std::string& k : keys)
        sink += lookup(k);
    return (cpuNanoseconds() - start) / static_cast<double>(keys.size());
}

// Nanoseconds per lookup on a freshly opened catalog, then on the same catalog again.
std::pair<double, double> repeatCost(
    const std::string& mo, const std::vector<std::string>& keys, std::size_t& sink)
{
    std::vector<double> fresh, again;
    const auto find = [&](const gnugettext::MoCatalog& catalog) {
        return [&](const std::string& k) { return catalog.find(k).value_or("").size(); };
    };
    for (int round = 0; round < rounds; ++round) {
        const gnugettext::MoCatalog catalog(
            reinterpret_cast<const unsigned char*>(mo.data()), mo.size(), "bench.mo");
        fresh.push_back(nanosecondsPerLookup(keys, find(catalog), sink));
        again.push_back(nanosecondsPerLookup(keys, find(catalog), sink));
    }
    return { median(fresh), median(again) };
}

} // namespace

int main()
{
    const char* chosen = std::getenv("QUILLET_BENCH_MO");
    const std::string path = chosen ? chosen : defaultCatalog;
    const std::string mo = fileBytes(path);
    std::vector<std::string> hits = msgids(mo);
    if (hits.empty()) {
        std::fprintf(stderr, "no msgids in %s (a little-endian .mo catalog)\n", path.c_str());
        return 1;
    }
    testsupport::TempDir work;
    work.writeFile("locale/de/LC_MESSAGES/bench.mo", mo);
    if (!prepareGlibc(work))
        return 1;
    ::setenv("LANG", "de_DE.UTF-8", 1);
    gnugettext::startGnuGettext({ work.path() + "/quillet", 0 });

    // Both must answer alike before their speed means anything. The translator gives every
    // line feed a carriage return before it (the program's texts use both), which dgettext does
    // not: its answer is compared with that rule applied. Keys still answered differently are
    // left out and counted.
    const auto before = hits.size();
    std::erase_if(hits, [](const std::string& k) {
        return gnugettext::withCarriageReturns(dgettext(domain, k.c_str()))
            != gnugettext::translateInDomain(domain, k);
    });
    if (hits.size() != before)
        std::printf(
            "left out: %zu msgids the two translators answer differently\n", before - hits.size());
    const auto withLineFeeds = std::count_if(hits.begin(), hits.end(),
        [](const std::string& k) { return k.find('\n') != std::string::npos; });
    std::vector<std::string> misses;
    for (const auto& k : hits)
        misses.push_back(k + " (not in the catalog)");

    std::size_t sink = 0;
    const auto glibc = [](const std::string& k) {
        return std::char_traits<char>::length(dgettext(domain, k.c_str()));
    };
    const auto ours
        = [](const std::string& k) { return gnugettext::translateInDomain(domain, k).size(); };
    std::printf("%s: %zu msgids (%td with line feeds, which the translator answers with carriage "
                "returns added), each once per round in a new order; median of %d rounds, "
                "processor ns per lookup\n",
        path.c_str(), hits.size(), withLineFeeds, rounds);
    std::mt19937 random(8);
    for (const auto& [name, keys] :
        { std::pair { "hits", &hits }, std::pair { "misses", &misses } }) {
        // Each runs a block of rounds in turn: long enough to reach its steady state, often
        // enough that a busy machine weighs on both alike.
        std::vector<double> reference;
        std::vector<double> measured;
        for (int block = 0; block < blocks; ++block) {
            for (int round = 0; round < rounds / blocks; ++round) {
                std::shuffle(keys->begin(), keys->end(), random);
                reference.push_back(nanosecondsPerLookup(*keys, glibc, sink));
            }
            for (int round = 0; round < rounds / blocks; ++round) {
                std::shuffle(keys->begin(), keys->end(), random);
                measured.push_back(nanosecondsPerLookup(*keys, ours, sink));
            }
        }
        std::printf(
            "%-7s glibc dgettext %7.1f   gnugettext %7.1f   raw ratio %.2f (goal <= 0.50)\n", name,
            median(reference), median(measured), median(measured) / median(reference));
    }
    gnugettext::endGnuGettext();
    const auto [fresh, again] = repeatCost(mo, hits, sink);
    std::printf("the catalog alone, hits: %.1f ns freshly opened, %.1f ns once looked up "
                "(ratio %.2f)\n",
        fresh, again, again / fresh);
    return sink == 0;
}
