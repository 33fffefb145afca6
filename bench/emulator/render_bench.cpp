// Rendering speed: mixed receipts (text styles, a 576x200 raster, an EAN-13 barcode, a QR code)
// through the print engine, the renderer and the PNG file, as the virtual printer makes them, in
// millimetres of paper a second beside the 350 mm/s of the fastest receipt printers; goal at
// least 100 times faster. Median of 5 rounds of 40 receipts.
#include "MixedReceipt.h"
#include "emulator/ReceiptBuilder.h"
#include "emulator/ReceiptFiles.h"
#include "emulator/ReceiptRenderer.h"
#include "escpos/CommandSplitter.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr double kFastestPrinterMmPerSecond = 350;
constexpr int kRounds = 5, kReceiptsPerRound = 40;

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testsupport::TempDir folder;
    emulator::ReceiptFiles files(folder.path());
    long long dots = 0;
    emulator::ReceiptBuilder engine(emulator::kPaper80mm, [&](emulator::Receipt&& receipt) {
        dots += receipt.height;
        files.save(receipt, emulator::renderReceipt(receipt));
    });
    escpos::CommandSplitter splitter(
        [&](const escpos::Command& command) { engine.apply(command); });

    std::vector<double> speeds;
    for (int round = 0; round < kRounds; ++round) {
        dots = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kReceiptsPerRound; ++i)
            splitter.feed(bench::mixedReceipt(round * kReceiptsPerRound + i));
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        speeds.push_back(dots / double(emulator::kDotsPerMm) / seconds);
    }
    std::sort(speeds.begin(), speeds.end());
    const double median = speeds[speeds.size() / 2];
    std::printf("receipt: %.0f mm of paper each\n",
        dots / double(emulator::kDotsPerMm) / kReceiptsPerRound);
    std::printf("rendered with PNG written: %.0f mm/s (median of %d rounds of %d receipts)\n",
        median, kRounds, kReceiptsPerRound);
    std::printf("fastest receipt printers:  %.0f mm/s\n", kFastestPrinterMmPerSecond);
    std::printf("ratio: %.0f times faster (goal >= 100)\n", median / kFastestPrinterMmPerSecond);
    return 0;
}
