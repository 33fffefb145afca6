// The command splitter, the print engine and the renderer on any bytes, cut into chunks of any
// size: nothing may crash, hang, leak or read out of bounds, and every command must describe
// itself and answer (or not) a status query.
#include "emulator/ReceiptBuilder.h"
#include "emulator/ReceiptRenderer.h"
#include "emulator/StatusReplies.h"
#include "escpos/CommandSplitter.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// fontconfig keeps what it allocates for each font it matches; that is not this program's leak.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the chunk size, so commands are cut at every place.
    const std::size_t chunk = 1 + data[0] % 64;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    const escpos::ConditionSet conditions(data[0]);
    emulator::ReceiptBuilder engine(data[0] & 1 ? emulator::kPaper58mm : emulator::kPaper80mm,
        [](emulator::Receipt&& receipt) { (void)emulator::renderReceipt(receipt); });
    escpos::CommandSplitter splitter([&](const escpos::Command& command) {
        (void)escpos::describeCommand(command);
        (void)escpos::commandName(command);
        (void)emulator::statusReply(command, emulator::withImpliedConditions(conditions));
        engine.apply(command);
    });
    for (std::size_t at = 0; at < stream.size(); at += chunk)
        splitter.feed(stream.substr(at, chunk));
    splitter.finish();
    engine.endReceipt();
    return 0;
}
