// print-text: the bytes quillet-send puts on the wire, read back through glibc's published
// charmaps of the ESC t tables they select, for text in many languages.
#include "ReferenceTables.h"
#include "escpos/Utf8.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/cli/ProgramRun.h"

#include <gtest/gtest.h>

using testsupport::runProgram;

namespace {

struct Sent {
    testsupport::ProgramResult run;
    std::string bytes;
};

Sent printText(const std::vector<std::string>& options, const std::string& text)
{
    testsupport::TcpListener printer;
    auto arguments = std::vector<std::string> { "--net", printer.address(), "print-text" };
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(text);
    Sent sent { runProgram(QUILLET_SEND, arguments), {} };
    if (sent.run.exitCode == 0)
        sent.bytes = printer.waitForConnections(1).at(0);
    return sent;
}

void requireCharmaps()
{
    if (testsupport::charmap("CP1252").empty())
        GTEST_SKIP() << "glibc's charmaps (Debian locales) are not installed";
}

} // namespace

TEST(PrintText, EachLanguageInItsTableByNumberOrName)
{
    requireCharmaps();
    const struct {
        const char* table;
        const char* text;
    } samples[] = {
        { "WPC1252", "Grüße aus Köln, Straße" },
        { "cp1252", "À l'hôtel, ça coûte cher: 12,50 €" },
        { "18", "Zażółć gęślą jaźń" },
        { "WPC1250", "Příliš žluťoučký kůň úpěl ďábelské ódy" },
        { "PC737", "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία" },
        { "PC866", "Съешь же ещё этих мягких французских булок" },
        { "PC857", "Pijamalı hasta yağız şoföre çabucak güvendi" },
        { "PC858", "Preis: 5 €" },
    };
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.table);
        const auto sent = printText({ "--code-table", sample.table }, sample.text);
        ASSERT_EQ(sent.run.exitCode, 0) << sent.run.err;
        EXPECT_EQ(sent.run.err, "");
        EXPECT_EQ(testsupport::decodeThroughReference(sent.bytes),
            escpos::utf8Characters(std::string(sample.text) + "\r\n"));
    }
}

TEST(PrintText, AProfilePicksATableForEachCharacterAndListsWhatNoneHas)
{
    requireCharmaps();
    testsupport::TempDir files;
    files.writeFile("profile.json", R"({"vendor": "Test", "name": "Test printer",
        "codePages": {"0": "CP437", "46": "CP1251", "47": "CP1253", "16": "CP1252", "12": "PC853"},
        "features": {}, "fonts": {}, "media": {"dpi": 203, "width": {"mm": 80, "pixels": 576}}})");
    const std::string text = "Grüße, Привет, Γειά σου, 5 € 中文\nline two";
    const auto sent = printText({ "--profile", files.file("profile.json") }, text);
    ASSERT_EQ(sent.run.exitCode, 0) << sent.run.err;
    EXPECT_EQ(sent.run.err,
        "quillet-send: no chosen code table has these characters, sent as '?': 中 文\n");
    EXPECT_EQ(testsupport::decodeThroughReference(sent.bytes),
        escpos::utf8Characters("Grüße, Привет, Γειά σου, 5 € ??\r\nline two\r\n"));
    // PC437 for the German, WPC1251 for the Russian, PC437 again for "Γε" and WPC1253 from "ι",
    // which has the euro sign too: a table is left only for a character it lacks.
    std::string selected;
    for (auto at = sent.bytes.find("\x1bt"); at != std::string::npos;
         at = sent.bytes.find("\x1bt", at + 3))
        selected += sent.bytes[at + 2];
    EXPECT_EQ(selected, std::string("\x00\x2e\x00\x2f", 4));
}

TEST(PrintText, CommandLinesThatCannotRunTouchNoPrinter)
{
    testsupport::TempDir files;
    files.writeFile("broken.json", "{\"vendor\": ");
    files.writeFile("foreign.json", R"({"vendor": "x", "name": "x", "codePages": {"99": "PC999"},
        "features": {}, "fonts": {}, "media": {"dpi": 203, "width": {"mm": 80, "pixels": 576}}})");
    const struct {
        std::vector<std::string> options;
        std::string error;
    } cases[] = {
        { {}, "print-text needs one of --code-table and --profile" },
        { { "--code-table", "16", "--profile", "x" },
            "print-text needs one of --code-table and --profile" },
        { { "--code-table", "Latin-9" }, "unknown code table 'Latin-9'" },
        { { "--profile", files.file("missing.json") }, "missing.json: File not found." },
        { { "--profile", files.file("broken.json") },
            "not a printer profile: not JSON: unexpected end of the text at line 1, column 12" },
        { { "--profile", files.file("foreign.json") },
            "the profile names no code table this program knows" },
    };
    for (const auto& c : cases) {
        const auto sent = printText(c.options, "text");
        EXPECT_EQ(sent.run.exitCode, 1) << c.error;
        EXPECT_NE(sent.run.err.find(c.error), std::string::npos) << sent.run.err;
    }
    const auto other
        = runProgram(QUILLET_SEND, { "--net", "127.0.0.1", "cut", "--code-table", "16" });
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_NE(other.err.find("--code-table and --profile apply to the print-text command only"),
        std::string::npos);
    const auto list = runProgram(
        QUILLET_SEND, { "--net", "127.0.0.1", "capability-page", "--code-tables", "0,PC999" });
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.err.find("unknown code table 'PC999'"), std::string::npos) << list.err;
}
