// Lookup cost of the translator beside glibc's dgettext on the same 10 000-entry catalog, in
// the same run: hits and misses, median nanoseconds per lookup over several rounds, and the
// ratio (the goal is at most 0.5). Needs msgfmt and localedef (a de_DE.UTF-8 locale is built
// in a temporary folder, since dgettext translates nothing in the "C" locale).

#include "bench/support/Median.h"
#include "i18n/gnugettext.h"
#include "support/TempDir.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using benchsupport::median;

constexpr int entryCount = 10000;
constexpr int rounds = 21;
constexpr int blocks = 3;
const char* const domain = "bench";

std::string key(int i)
{
    return "Catalog text " + std::to_string(i) + ": the port is not open";
}
std::string translation(int i)
{
    return "Katalogtext " + std::to_string(i) + ": der Port ist zu";
}

bool run(const std::string& command)
{
    if (std::system(command.c_str()) == 0)
        return true;
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    return false;
}

bool makeCatalog(const testsupport::TempDir& work)
{
    std::string po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (int i = 0; i < entryCount; ++i)
        po += "msgid \"" + key(i) + "\"\nmsgstr \"" + translation(i) + "\"\n\n";
    work.writeFile("bench.po", po);
    return run("msgfmt -o '" + work.file("locale/de/LC_MESSAGES/bench.mo") + "' '"
        + work.file("bench.po") + "'");
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

} // namespace

int main()
{
    testsupport::TempDir work;
    if (!makeCatalog(work) || !prepareGlibc(work))
        return 1;
    ::setenv("LANG", "de_DE.UTF-8", 1);
    gnugettext::startGnuGettext({ work.path() + "/quillet", 0 });

    std::vector<std::string> hits;
    std::vector<std::string> misses;
    for (int i = 0; i < entryCount; ++i) {
        hits.push_back(key(i));
        misses.push_back("Missing text " + std::to_string(i) + ": the port is not open");
    }
    std::mt19937 random(8);
    std::shuffle(hits.begin(), hits.end(), random);

    // Both must answer alike before their speed means anything.
    for (int i : { 0, 17, 9999 }) {
        if (dgettext(domain, key(i).c_str()) != translation(i)
            || gnugettext::translateInDomain(domain, key(i)) != translation(i)) {
            std::fprintf(stderr, "the two translators disagree on entry %d\n", i);
            return 1;
        }
    }

    std::size_t sink = 0;
    const auto glibc = [](const std::string& k) {
        return std::char_traits<char>::length(dgettext(domain, k.c_str()));
    };
    const auto ours
        = [](const std::string& k) { return gnugettext::translateInDomain(domain, k).size(); };
    std::printf(
        "%d-entry catalog, median of %d rounds, processor ns per lookup\n", entryCount, rounds);
    for (const auto& [name, keys] :
        { std::pair { "hits", &hits }, std::pair { "misses", &misses } }) {
        // Each runs a block of rounds in turn: long enough to reach its steady state, often
        // enough that a busy machine weighs on both alike.
        std::vector<double> reference;
        std::vector<double> measured;
        for (int block = 0; block < blocks; ++block) {
            for (int round = 0; round < rounds / blocks; ++round)
                reference.push_back(nanosecondsPerLookup(*keys, glibc, sink));
            for (int round = 0; round < rounds / blocks; ++round)
                measured.push_back(nanosecondsPerLookup(*keys, ours, sink));
        }
        std::printf("%-7s glibc dgettext %7.1f   gnugettext %7.1f   ratio %.2f (goal <= 0.50)\n",
            name, median(reference), median(measured), median(measured) / median(reference));
    }
    gnugettext::endGnuGettext();
    return sink == 0;
}
