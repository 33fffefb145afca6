// quillet-send capability-page on the real virtual printer: every cell of every code table grid
// as the printer logs it drawn, against glibc's published charmaps; the page's barcodes and QR
// codes read back by zbarimg; the test picture the same in every dot whichever command printed
// it; and the whole page over loopback TCP, a pseudo-terminal and a FIFO.
#include "ReferenceTables.h"
#include "escpos/CapabilityImages.h"
#include "escpos/CodePages.h"
#include "escpos/Utf8.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"
#include "tests/emulator/PrinterProcess.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using testsupport::PrinterProcess;

namespace {

struct PrintedPage {
    std::shared_ptr<testsupport::TempDir> out; // where the receipts are
    std::string log; // the decoded commands of the page up to the partial cut
    std::string picture; // the PNG of its first receipt
    std::string fullCutLog; // the receipt the full cut ends
};

// Prints the page with the virtual printer on `endpoint` ("tcp", "pty" or "fifo").
PrintedPage printPage(const std::string& endpoint, const std::string& tables)
{
    testsupport::TempDir root;
    PrintedPage page { std::make_shared<testsupport::TempDir>(), {}, {}, {} };
    const auto& out = *page.out;
    std::filesystem::create_directories(root.path() + "/dev");
    const std::string address = testsupport::randomLoopbackAddress();
    std::vector<std::string> printerArguments { "--out", out.path(), "--pause", "0" };
    std::vector<std::string> connection;
    if (endpoint == "tcp") {
        printerArguments.insert(printerArguments.end(), { "--tcp", address + ":9100" });
        connection = { "--net", address };
    } else if (endpoint == "pty") {
        printerArguments.insert(
            printerArguments.end(), { "--pty", "ttyVP9", "--sysroot", root.path() });
        connection = { "--com", "ttyVP9:115200,8N1" };
    } else {
        printerArguments.insert(printerArguments.end(), { "--fifo", root.path() + "/dev/lp0" });
        connection = { "--lpt", "LPT1" };
    }
    PrinterProcess printer(printerArguments);
    printer.waitForLine("ready");
    connection.insert(connection.end(), { "capability-page", "--code-tables", tables });
    const auto run = testsupport::runProgram(QUILLET_SEND, connection,
        testsupport::ProgramOptions { {}, { { "QUILLET_SYSROOT", root.path() } }, 120000 });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto logOf = [&](const std::string& picture) {
        return out.readFile(std::filesystem::path(picture).stem().string() + ".txt");
    };
    page.picture = printer.waitForLine("receipt ");
    page.log = logOf(page.picture);
    // A page longer than 2 m goes on in the next receipts, up to the partial cut.
    while (page.log.find("partial cut after feed") == std::string::npos)
        page.log += logOf(printer.waitForLine("receipt "));
    page.fullCutLog = logOf(printer.waitForLine("receipt "));
    return page;
}

// The characters of the 8 grid rows after ESC t n, as the printer logged them drawn: 128 cells.
std::u32string gridCells(const std::string& log, int table)
{
    const auto select = log.find("\nESC t " + std::to_string(table) + " code table");
    if (select == std::string::npos)
        return {};
    std::u32string cells;
    std::size_t at = log.find("\ntext \"", log.find("\ntext \"", select) + 1); // after the labels
    for (int row = 0; row < 8 && at != std::string::npos; ++row) {
        const auto start = at + 7;
        const auto line
            = escpos::utf8Characters(log.substr(start, log.find("\" font", start) - start));
        if (line.size() != 19)
            return {};
        cells += line.substr(2, 8) + line.substr(11, 8);
        at = log.find("\ntext \"", at + 1);
    }
    return cells;
}

} // namespace

TEST(CapabilityPage, EveryGridCellIsThePublishedCharacterOfItsTable)
{
    if (testsupport::charmap("IBM437").empty())
        GTEST_SKIP() << "glibc's charmaps (Debian locales) are not installed";
    const auto page = printPage("tcp", "all");
    int checked = 0;
    for (const auto& table : escpos::codePages()) {
        const auto name = testsupport::charmapOfTable(table.number);
        if (!name)
            continue; // our own tables: Katakana below; PC720, PC853, PC1098, the blank pages
        const auto reference = testsupport::publishedTable(table.number);
        const auto cells = gridCells(page.log, table.number);
        ASSERT_EQ(cells.size(), 128u) << "table " << int(table.number);
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const auto found = reference.find(byte);
            EXPECT_EQ(
                int(cells[byte - 0x80]), int(found == reference.end() ? U'\uFFFD' : found->second))
                << "table " << int(table.number) << " (" << *name << ") byte " << byte;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 33);
    const auto katakana = gridCells(page.log, 1);
    const auto jis = testsupport::charmap("SHIFT_JIS"); // its single bytes are JIS X 0201
    ASSERT_EQ(katakana.size(), 128u);
    for (int byte = 0xA1; byte <= 0xDF; ++byte)
        EXPECT_EQ(int(katakana[byte - 0x80]), int(jis.at(byte))) << "Katakana byte " << byte;
}

TEST(CapabilityPage, SymbolsReadBackAndThePictureIsTheSameFourWays)
{
    const auto page = printPage("tcp", "0");
    if (std::system("command -v zbarimg > /dev/null") != 0)
        GTEST_SKIP() << "zbarimg (Debian zbar-tools) is not installed";
    const auto scan = testsupport::runProgram(
        "/bin/sh", { "-c", "zbarimg --nodbus -q '" + page.picture + "' 2>/dev/null" });
    const auto lines = testsupport::lines(scan.out);
    // UPC-A and UPC-E come back in their EAN-13 form, check digits added by the printer.
    const std::set<std::string> expected { "EAN-13:5901234123457", "EAN-13:0012345678905",
        "EAN-13:0012345000065", "EAN-13:4006381333931", "EAN-8:96385074", "CODE-39:QUILLET-39",
        "I2/5:1234567895", "Codabar:A40156B", "CODE-93:QUILLET-93", "CODE-128:Quillet-128",
        "QR-Code:Quillet QR by GS ( k", "QR-Code:Quillet QR as an image" };
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected) << scan.out;
    // zbar reads no PDF417: the printer's log says it was drawn.
    EXPECT_NE(page.log.find("PDF417 print\n"), std::string::npos);
    EXPECT_EQ(page.log.find("unknown command"), std::string::npos) << page.log;

    // Each picture's top-left corner: black, with white above and to the left.
    const QImage receipt
        = QImage(QString::fromStdString(page.picture)).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(receipt.isNull());
    const auto reference = escpos::testImage();
    const auto black = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < receipt.width() && y < receipt.height()
            && qGray(receipt.pixel(x, y)) < 128;
    };
    // A frame of exactly the picture's size.
    const auto frame = [&](int x, int y) {
        for (int i = 0; i < reference.width; ++i)
            if (!black(x + i, y) || !black(x + i, y + reference.height - 1))
                return false;
        for (int i = 0; i < reference.height; ++i)
            if (!black(x, y + i) || !black(x + reference.width - 1, y + i))
                return false;
        return !black(x + reference.width, y) && !black(x, y + reference.height);
    };
    int found = 0;
    for (int y = 0; y < receipt.height(); ++y)
        for (int x = 0; x < receipt.width(); ++x) {
            if (!black(x, y) || black(x - 1, y) || black(x, y - 1) || !frame(x, y))
                continue;
            ++found;
            int differing = 0;
            for (int row = 0; row < reference.height; ++row)
                for (int column = 0; column < reference.width; ++column)
                    differing += black(x + column, y + row) != reference.at(column, row);
            EXPECT_EQ(differing, 0) << "the picture at " << x << "," << y;
        }
    EXPECT_EQ(found, 4) << "GS v 0, ESC * 8-dot, ESC * 24-dot and GS ( L";
}

TEST(CapabilityPage, PrintsWholeOverEachConnection)
{
    for (const std::string endpoint : { "tcp", "pty", "fifo" }) {
        SCOPED_TRACE(endpoint);
        const auto page = printPage(endpoint, "16,PC852");
        EXPECT_NE(page.log.find("text \"1. ESC t 16 - WPC1252\""), std::string::npos);
        EXPECT_NE(page.log.find("text \"2. ESC t 18 - PC852\""), std::string::npos);
        EXPECT_NE(page.log.find("text \"17. Partial cut (GS V 66)\""), std::string::npos);
        EXPECT_NE(page.log.rfind("GS V 66 0 partial cut after feed\n"), std::string::npos);
        EXPECT_NE(page.fullCutLog.find("text \"18. Full cut (GS V 65)\""), std::string::npos);
        EXPECT_NE(page.fullCutLog.find("GS V 65 0 full cut after feed"), std::string::npos);
    }
}
