// Peak memory while the virtual printer's engine renders 1000 mixed receipts and writes them as
// PNG files: the peak resident size (VmHWM) after every 100 receipts, beside the peak after the
// first 100 (the reference); goal: flat after the first 100 (growth within 5 %).
#include "MixedReceipt.h"
#include "emulator/ReceiptBuilder.h"
#include "emulator/ReceiptFiles.h"
#include "emulator/ReceiptRenderer.h"
#include "escpos/CommandSplitter.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testsupport::TempDir folder;
    emulator::ReceiptFiles files(folder.path());
    emulator::ReceiptBuilder engine(emulator::kPaper80mm, [&](emulator::Receipt&& receipt) {
        files.save(receipt, emulator::renderReceipt(receipt));
    });
    escpos::CommandSplitter splitter(
        [&](const escpos::Command& command) { engine.apply(command); });

    long reference = 0, highest = 0;
    for (int number = 1; number <= 1000; ++number) {
        splitter.feed(bench::mixedReceipt(number));
        if (number % 100 == 0) {
            const long peak = peakKilobytes();
            if (number == 100)
                reference = peak;
            highest = std::max(highest, peak);
            std::printf("after %4d receipts: peak %ld kB\n", number, peak);
        }
    }
    std::printf("growth after the first 100: %+.1f %% (goal: flat, within 5 %%)\n",
        100.0 * (highest - reference) / reference);
    return 0;
}
