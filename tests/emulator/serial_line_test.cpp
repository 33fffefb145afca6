// The pseudo-terminal's receive buffer: numbered lines written at once into a 4 KB buffer that
// is printed slowly. With no flow control the bytes that find it full are lost and the lost lines
// named; with XON/XOFF the printer says XOFF as it nears full and XON once drained, and nothing is
// lost.
#include "PrinterProcess.h"
#include "emulator/LostLines.h"
#include "printer/NumberedLines.h"
#include "support/TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace testsupport;
using namespace std::chrono_literals;

namespace {

constexpr int kLines = 200;
// What follows the number on each line ("0001" + kText + "\n").
const std::string kText = printer::numberedLines(1).substr(4, printer::numberedLines(1).size() - 5);

std::string numberedLines()
{
    return printer::numberedLines(kLines);
}

// The numbers of the lines printed whole, from the receipt's log.
std::set<int> printedLines(const std::string& picture)
{
    std::ifstream file(picture.substr(0, picture.size() - 4) + ".txt");
    std::set<int> numbers;
    const std::regex whole("^text \"(\\d{4})" + kText + "\"");
    std::smatch match;
    for (std::string line; std::getline(file, line);)
        if (std::regex_search(line, match, whole))
            numbers.insert(std::stoi(match[1]));
    return numbers;
}

// "lines 0085-0199, 0200" in the printer's report, expanded.
std::set<int> namedLines(const std::string& report)
{
    std::set<int> numbers;
    const std::regex item(R"((\d{4})(?:-(\d{4}))?)");
    const auto from = report.find(": lines ");
    if (from == std::string::npos)
        return numbers;
    const auto list = report.substr(from, report.find('\n', from) - from);
    for (std::sregex_iterator it(list.begin(), list.end(), item), end; it != end; ++it)
        for (int n = std::stoi((*it)[1]); n <= std::stoi((*it)[(*it)[2].matched ? 2 : 1]); ++n)
            numbers.insert(n);
    return numbers;
}

struct Line {
    TempDir folder;
    std::unique_ptr<PrinterProcess> printer;
    platform::FileDescriptor port;

    explicit Line(const std::string& flow)
    {
        printer = std::make_unique<PrinterProcess>(
            std::vector<std::string> { "--pty", "ttyVP0", "--out", folder.path(), "--pause", "1",
                "--buffer", "4096", "--drain", "4000", "--flow", flow });
        const auto path = printer->waitForLine("pty ");
        printer->waitForLine("ready");
        port = platform::FileDescriptor(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        termios raw {};
        tcgetattr(port.get(), &raw);
        cfmakeraw(&raw);
        tcsetattr(port.get(), TCSANOW, &raw);
    }
    // Writes everything (the kernel holds what the printer has not read).
    void write(const std::string& bytes)
    {
        for (std::size_t done = 0; done < bytes.size();) {
            const auto wrote = ::write(port.get(), bytes.data() + done, bytes.size() - done);
            ASSERT_GT(wrote, 0);
            done += std::size_t(wrote);
        }
    }
};

} // namespace

TEST(SerialLine, WithoutFlowControlTheLinesThatFindTheBufferFullAreLostAndNamed)
{
    Line line("none");
    const auto start = std::chrono::steady_clock::now();
    line.write(numberedLines());
    const auto receipt = line.printer->waitForLine("receipt ");
    const auto took = std::chrono::steady_clock::now() - start;
    // 4 KB printed at 4000 bytes a second, then the one-second pause that ends the receipt.
    EXPECT_GE(took, 1800ms);
    EXPECT_LE(took, 20s);
    const auto errors = line.printer->errors();
    EXPECT_NE(errors.find("the pty's receive buffer overflowed, lost "), std::string::npos)
        << errors;
    const auto printed = printedLines(receipt), lost = namedLines(errors);
    // Every line is either printed whole or named as lost, never both.
    EXPECT_GE(printed.size(), 80u);
    EXPECT_TRUE(lost.count(kLines)) << errors;
    for (int n = 1; n <= kLines; ++n)
        EXPECT_NE(printed.count(n), lost.count(n)) << "line " << n << "\n" << errors;
    EXPECT_EQ(line.printer->stop(), 0);
}

TEST(SerialLine, XonXoffStopsTheSenderBeforeTheBufferIsFullAndNothingIsLost)
{
    Line line("xonxoff");
    line.write(numberedLines());
    // The port is raw (no IXON): the flow control bytes reach the sender as they are sent.
    EXPECT_EQ(readExactly(line.port.get(), 2, 20000), "\x13\x11");
    const auto receipt = line.printer->waitForLine("receipt ");
    EXPECT_EQ(printedLines(receipt).size(), std::size_t(kLines));
    EXPECT_EQ(line.printer->errors().find("overflowed"), std::string::npos);
    EXPECT_EQ(line.printer->stop(), 0);
}

TEST(SerialLine, LostBytesAreNamedOnceTheirLinesHaveEnded)
{
    emulator::LostLines lost;
    lost.kept("0007 whole\n0008 ha");
    lost.lost("lf\n0009 gone\nno number\n0011 st");
    EXPECT_EQ(lost.report(), ""); // line 0011 has not ended yet
    lost.lost("ill");
    lost.kept(" going\n");
    EXPECT_EQ(lost.report(), "lost 33 bytes: lines 0008-0009, 0011");
    lost.lost("12 bytes\n");
    EXPECT_EQ(lost.report(), "lost 9 bytes");
    lost.lost("0012 cut");
    EXPECT_EQ(lost.report(true), "lost 8 bytes: lines 0012");
    EXPECT_EQ(lost.report(true), "");
}
