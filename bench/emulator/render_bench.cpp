// Rendering speed: mixed receipts (text styles, a 576x200 raster, an EAN-13 barcode, a QR code)
// through the print engine, the renderer and the PNG file, as the virtual printer makes them, in
// millimetres of paper a second. The floor, measured in the same run: plain pictures of the same
// sizes and format, filled with white and written as PNG at the receipts' compression level into
// the same folder. Printed: both speeds, the raw ratio of their times, and the 350 mm/s of the
// fastest receipt printers as context (goal: at least 100 times faster than those). Median of 5
// rounds of 40 receipts.
#include "MixedReceipt.h"
#include "bench/support/Median.h"
#include "emulator/ReceiptBuilder.h"
#include "emulator/ReceiptFiles.h"
#include "emulator/ReceiptRenderer.h"
#include "escpos/CommandSplitter.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSize>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kFastestPrinterMmPerSecond = 350;
constexpr int kRounds = 5, kReceiptsPerRound = 40;

using benchsupport::median;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testsupport::TempDir folder;
    emulator::ReceiptFiles files(folder.path());
    long long dots = 0;
    std::vector<std::pair<QSize, QImage::Format>> pictures; // of the last round, for the floor
    emulator::ReceiptBuilder engine(emulator::kPaper80mm, [&](emulator::Receipt&& receipt) {
        dots += receipt.height;
        const QImage picture = emulator::renderReceipt(receipt);
        pictures.emplace_back(picture.size(), picture.format());
        files.save(receipt, picture);
    });
    escpos::CommandSplitter splitter(
        [&](const escpos::Command& command) { engine.apply(command); });

    std::vector<double> rendered, floor;
    for (int round = 0; round < kRounds; ++round) {
        dots = 0;
        pictures.clear();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kReceiptsPerRound; ++i)
            splitter.feed(bench::mixedReceipt(round * kReceiptsPerRound + i));
        rendered.push_back(secondsSince(start));

        start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            QImage plain(pictures[i].first, pictures[i].second);
            plain.fill(Qt::white);
            QImageWriter writer(
                QString::fromStdString(folder.file("floor-" + std::to_string(i) + ".png")), "png");
            writer.setCompression(emulator::kReceiptPngCompression);
            writer.write(plain);
        }
        floor.push_back(secondsSince(start));
    }
    const double mm = dots / double(emulator::kDotsPerMm);
    const double renderedSpeed = mm / median(rendered), floorSpeed = mm / median(floor);
    std::printf("receipt: %.0f mm of paper each\n", mm / kReceiptsPerRound);
    std::printf("rendered with PNG written: %8.0f mm/s (median of %d rounds of %d receipts)\n",
        renderedSpeed, kRounds, kReceiptsPerRound);
    std::printf(
        "floor (plain white PNGs):  %8.0f mm/s (same sizes, format, compression and rounds)\n",
        floorSpeed);
    std::printf("raw ratio (rendered time / floor time): %.2f\n", median(rendered) / median(floor));
    std::printf("context: fastest receipt printers %.0f mm/s; rendered is %.0f times faster "
                "(goal >= 100)\n",
        kFastestPrinterMmPerSecond, renderedSpeed / kFastestPrinterMmPerSecond);
    return 0;
}
