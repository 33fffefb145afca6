// status --targets over 200 printers on loopback at once, in a network namespace of its own:
// two virtual printers (one with paper end) and scripted responders, healthy, with paper end,
// silent, and addresses where nothing listens. Every JSON line is checked against what its
// printer was told to be, the exit code is the worst outcome, and the Prometheus file is read
// back by the Prometheus client library's own parser.
#include "PrinterProcess.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"
#include "tests/printer/ScriptedPrinter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace std::chrono;
using testsupport::ScriptedPrinter;

namespace {

constexpr int kTargets = 200;

std::string addressOf(int n)
{
    return "127.0.120." + std::to_string(n);
}

// What target n is: n 1 and 2 virtual printers, then in turn healthy, paper end, silent,
// refusing.
std::string expectedOutcome(int n)
{
    if (n <= 2)
        return n == 1 ? "ready" : "fault";
    static const char* const kinds[] = { "ready", "fault", "no answer", "failed" };
    return kinds[n % 4];
}

struct Fleet {
    testsupport::TempDir folder;
    std::vector<std::unique_ptr<testsupport::PrinterProcess>> virtualPrinters;
    std::vector<std::unique_ptr<ScriptedPrinter>> responders;
    std::string targetsFile;

    Fleet()
    {
        std::string targets = "# the stores' printers\n\n";
        for (int n = 1; n <= kTargets; ++n) {
            start(n);
            targets += "--net " + addressOf(n) + "   # store " + std::to_string(n) + "\n";
        }
        folder.writeFile("targets.txt", targets);
        targetsFile = folder.file("targets.txt");
        for (auto& printer : virtualPrinters)
            printer->waitForLine("ready");
    }

    void start(int n)
    {
        if (n <= 2) {
            std::vector<std::string> arguments { "--tcp", addressOf(n) + ":9100", "--out",
                folder.path() + "/out" + std::to_string(n) };
            if (n == 2)
                arguments.insert(arguments.end(), { "--status", "paper-end" });
            virtualPrinters.push_back(std::make_unique<testsupport::PrinterProcess>(arguments));
            return;
        }
        if (expectedOutcome(n) == "failed")
            return; // nothing listens: the connection is refused
        auto printer = ScriptedPrinter::onTcp(addressOf(n));
        if (expectedOutcome(n) == "ready")
            printer->answerAsHealthyPrinter();
        else if (expectedOutcome(n) == "fault") {
            printer->answerAsHealthyPrinter();
            printer->answer("\x10\x04\x04", "\x72"); // paper end
        }
        responders.push_back(std::move(printer));
    }
};

} // namespace

TEST(FleetCheck, TwoHundredPrintersEveryLineRightAndTheMetricsParse)
{
    Fleet fleet;
    const std::string metrics = fleet.folder.file("quillet.prom");
    const auto start = steady_clock::now();
    const auto run = testsupport::runProgram(QUILLET_SEND,
        { "status", "--targets", fleet.targetsFile, "--jobs", "200", "--timeout", "300",
            "--prometheus", metrics });
    const auto took = steady_clock::now() - start;
    EXPECT_EQ(run.exitCode, 2) << run.err; // the worst: printers that could not be reached
    EXPECT_EQ(run.err, "");
    // A silent printer waits the whole 300 ms for its first question and a short while for each
    // of the rest; the printers are asked at once (one after the other, the silent half alone
    // would take over 30 s).
    EXPECT_GE(took, milliseconds(300));
    EXPECT_LT(took, seconds(30));

    std::map<std::string, QJsonObject> lines;
    for (const auto& line : testsupport::lines(run.out)) {
        QJsonParseError error;
        const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
        lines[json.object()["target"].toString().toStdString()] = json.object();
    }
    ASSERT_EQ(lines.size(), std::size_t(kTargets));
    for (int n = 1; n <= kTargets; ++n) {
        const auto& json = lines["--net " + addressOf(n)];
        const std::string outcome = expectedOutcome(n);
        EXPECT_EQ(json["outcome"].toString().toStdString(), outcome) << n;
        EXPECT_EQ(json["format"].toInt(), 1);
        EXPECT_GT(json["seconds"].toDouble(), 0.0);
        const auto conditions = json["conditions"].toObject();
        if (outcome == "ready" || outcome == "fault") {
            EXPECT_EQ(conditions["paper-end"].toBool(), outcome == "fault") << n;
        } else if (outcome == "no answer") {
            EXPECT_TRUE(conditions["paper-end"].isNull()) << n;
        } else {
            EXPECT_EQ(json["kind"].toString(), "refused") << n;
        }
    }

    // Read back by prometheus_client's parser: each target once in each family, its values.
    const auto parsed = testsupport::runProgram("/usr/bin/python3", { PARSE_PROMETHEUS, metrics });
    ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
    std::map<std::string, std::string> samples;
    for (const auto& line : testsupport::lines(parsed.out))
        samples[line.substr(0, line.rfind(' '))] = line.substr(line.rfind(' ') + 1);
    for (int n = 1; n <= kTargets; ++n) {
        const std::string target = "--net " + addressOf(n);
        const std::string outcome = expectedOutcome(n);
        const bool answered = outcome == "ready" || outcome == "fault";
        EXPECT_EQ(samples["quillet_printer_up " + target], answered ? "1.0" : "0.0") << n;
        EXPECT_EQ(samples.count("quillet_printer_check_seconds " + target), 1u) << n;
        const std::string paperEnd = "quillet_printer_condition " + target + " paper_end";
        if (answered) {
            EXPECT_EQ(samples[paperEnd], outcome == "fault" ? "1.0" : "0.0") << n;
        } else {
            EXPECT_EQ(samples.count(paperEnd), 0u) << n;
        }
    }
}

TEST(FleetCheck, ABadTargetLineIsRefusedWithItsLineNumber)
{
    testsupport::TempDir folder;
    folder.writeFile("targets.txt", "--net 127.0.120.1\n# fine\n--net 127.0.120.999\n");
    auto run = testsupport::runProgram(
        QUILLET_SEND, { "status", "--targets", folder.file("targets.txt") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("quillet-send: " + folder.file("targets.txt")
                      + ":3: invalid IPv4 address '127.0.120.999'",
                  0),
        0u)
        << run.err;
    folder.writeFile("empty.txt", "# nobody\n");
    run = testsupport::runProgram(
        QUILLET_SEND, { "status", "--targets", folder.file("empty.txt") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
}
