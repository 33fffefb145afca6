// The command splitter over a 10 MB stream of mixed receipts, fed in the 64 KB pieces the virtual
// printer reads, beside a plain loop over the same buffer that only finds the ESC, GS, DLE and FS
// bytes (the floor for any splitter). Medians of 21 alternating rounds; the ratio is the
// splitter's speed over the loop's, goal at least 0.3. The splitter passes over image data by its
// length, so the same receipts without their raster logo (all text and commands, its hardest
// case) are measured too.
#include "MixedReceipt.h"
#include "bench/support/Median.h"
#include "escpos/CommandSplitter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using benchsupport::median;

using Clock = std::chrono::steady_clock;
constexpr std::size_t kStreamBytes = 10 * 1000 * 1000;
constexpr std::size_t kPiece = 64 * 1024;
constexpr int kRounds = 21;

std::string mixedStream(bool withLogo)
{
    std::string stream;
    for (int number = 0; stream.size() < kStreamBytes; ++number)
        stream += bench::mixedReceipt(number, withLogo);
    stream.resize(kStreamBytes);
    return stream;
}

// Records where each prefix byte is: what any splitter has to do at the least.
std::size_t findPrefixes(const std::string& stream, std::vector<std::size_t>& found)
{
    found.clear();
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const auto byte = static_cast<unsigned char>(stream[i]);
        if (byte == 0x1B || byte == 0x1D || byte == 0x10 || byte == 0x1C)
            found.push_back(i);
    }
    return found.size();
}

std::size_t split(const std::string& stream)
{
    std::size_t commands = 0;
    escpos::CommandSplitter splitter([&commands](const escpos::Command&) { ++commands; });
    for (std::size_t at = 0; at < stream.size(); at += kPiece)
        splitter.feed(std::string_view(stream).substr(at, kPiece));
    splitter.finish();
    return commands;
}

template <typename Work> double seconds(Work work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void measure(const char* title, const std::string& stream)
{
    std::vector<std::size_t> found;
    found.reserve(stream.size());
    std::size_t prefixes = 0, commands = 0;
    std::vector<double> loop, splitter;
    for (int round = 0; round < kRounds; ++round) {
        loop.push_back(seconds([&] { prefixes = findPrefixes(stream, found); }));
        splitter.push_back(seconds([&] { commands = split(stream); }));
    }
    const double megabytes = stream.size() / 1e6;
    const double loopSpeed = megabytes / median(loop), splitterSpeed = megabytes / median(splitter);
    std::printf("%s: %.1f MB, %zu prefix bytes, %zu commands and texts\n", title, megabytes,
        prefixes, commands);
    std::printf("prefix-finding loop: %8.1f MB/s (median of %d)\n", loopSpeed, kRounds);
    std::printf("command splitter:    %8.1f MB/s (median of %d)\n", splitterSpeed, kRounds);
    std::printf("ratio splitter/loop: %.2f (goal >= 0.3)\n\n", splitterSpeed / loopSpeed);
}

} // namespace

int main()
{
    measure("mixed receipts with a raster logo", mixedStream(true));
    measure("the same receipts without the logo", mixedStream(false));
    return 0;
}
