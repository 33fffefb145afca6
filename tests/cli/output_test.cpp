// What quillet-send writes: the print-test text as the window sends it, the transcript's
// naming, the status exit codes, and JSON that a JSON parser reads back.
#include "cli/HexTranscript.h"
#include "cli/JsonText.h"
#include "cli/PrintText.h"
#include "cli/StatusReport.h"
#include "cli/TerminalText.h"
#include "printer/StatusSummary.h"
#include "printer/TestActions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sstream>

using namespace cli;
using escpos::StatusQuery;
using printer::Outcome;

namespace {

printer::StatusReading answered(StatusQuery query, std::uint8_t reply)
{
    printer::StatusReading reading;
    reading.query = query;
    reading.reply = reply;
    const auto decoded = escpos::decodeStatus(query, reply);
    reading.outcome = decoded ? Outcome::Answered : Outcome::NotStatus;
    if (decoded)
        reading.conditions = *decoded;
    return reading;
}

// The four DLE EOT replies; 0 leaves a query unanswered.
printer::PrinterReport report(
    std::uint8_t printer, std::uint8_t offline, std::uint8_t error, std::uint8_t paper)
{
    printer::PrinterReport result;
    const std::uint8_t replies[] = { printer, offline, error, paper };
    for (std::size_t i = 0; i < 4; ++i) {
        if (replies[i])
            result.status.push_back(answered(escpos::kStatusQueries[i], replies[i]));
        else
            result.status.push_back({ escpos::kStatusQueries[i], Outcome::NoAnswer, 0, {} });
    }
    result.ids
        = { { escpos::IdQuery::Model, 0x20, {} }, { escpos::IdQuery::Type, std::nullopt, {} } };
    return result;
}

QJsonObject parsedJson(const std::string& text)
{
    QJsonParseError error;
    const auto document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << text;
    return document.object();
}

} // namespace

TEST(PrintText, LineBreaksAndCharactersAsTheWindowSendsThem)
{
    // Every kind of line break becomes one CR LF; nothing is stripped.
    EXPECT_EQ(printTextBytes("a\nb\r\nc\rd\n\n", ""), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(printTextBytes("Grüße €, 漢", ""),
        "Gr\xFC\xDF"
        "e \x80, ?");
    EXPECT_EQ(printTextBytes("Grüße €", "CP437"),
        "Gr\x81\xE1"
        "e ?");
    EXPECT_EQ(printTextBytes(std::string("a\0b", 3), ""), std::string("a\0b", 3));
}

TEST(HexTranscript, WritesEachCommandAsItPasses)
{
    std::ostringstream out;
    HexTranscript transcript(out);
    transcript.observer()(printer::Direction::Sent, printer::cutPaperBytes(), {});
    transcript.record(printer::Direction::Received, "\x12");
    const std::string text = out.str();
    EXPECT_NE(text.find("sent  1D 56 42 00"), std::string::npos) << text;
    EXPECT_NE(text.find("GS V 66 0"), std::string::npos) << text;
    EXPECT_NE(text.find("recv  12"), std::string::npos) << text;
}

TEST(StatusReport, ExitCodesFromTheAnswers)
{
    // The numbers of the manual page's EXIT STATUS: 0 ready, 3 a fault, 4 no usable answer.
    EXPECT_EQ(statusExitCode(report(0x12, 0x12, 0x12, 0x12)), 0);
    EXPECT_EQ(statusExitCode(report(0x12, 0x12, 0x12, 0x1E)), 0); // paper near end
    EXPECT_EQ(statusExitCode(report(0x16, 0x12, 0x12, 0x12)), 0); // drawer pin high
    EXPECT_EQ(statusExitCode(report(0x1A, 0x12, 0x12, 0x12)), 3); // offline
    EXPECT_EQ(statusExitCode(report(0x12, 0x16, 0x12, 0x12)), 3); // cover open
    EXPECT_EQ(statusExitCode(report(0x12, 0x12, 0x1A, 0x12)), 3); // cutter
    EXPECT_EQ(statusExitCode(report(0x12, 0x12, 0x12, 0x72)), 3); // paper end
    // A fault heard beats a question unanswered; otherwise an unanswered one is code 4.
    EXPECT_EQ(statusExitCode(report(0x1A, 0, 0, 0)), 3);
    EXPECT_EQ(statusExitCode(report(0x12, 0, 0x12, 0x12)), 4);
    EXPECT_EQ(statusExitCode(report(0x41, 0x12, 0x12, 0x12)), 4); // not a status
    EXPECT_EQ(statusExitCode(report(0, 0, 0, 0)), 4);

    auto driverPaperOut = report(0x12, 0x12, 0x12, 0x12);
    driverPaperOut.kernel
        = printer::LptKernelView { printer::LptLineStatus { true, true, false }, std::nullopt };
    EXPECT_EQ(statusExitCode(driverPaperOut), 3);
}

TEST(StatusReport, TextAndJsonSayTheSame)
{
    auto troubled = report(0x1A, 0x16, 0, 0x72);
    troubled.kernel = printer::LptKernelView { std::nullopt,
        printer::Ieee1284Id { "EPSON \"Seiko\"", "TM-T20\xC9", "ESC/POS" } };
    const std::string text = statusText(troubled);
    EXPECT_EQ(text.substr(0, text.find('\n')), printer::statusSummary(troubled));
    EXPECT_NE(text.find("\noffline\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cover open: yes"), std::string::npos) << text;

    const QJsonObject json = parsedJson(statusJson(troubled));
    EXPECT_FALSE(json["ready"].toBool());
    EXPECT_EQ(json["summary"].toString().toStdString(), printer::statusSummary(troubled));
    const QJsonArray queries = json["queries"].toArray();
    ASSERT_EQ(queries.size(), 4);
    EXPECT_EQ(queries[0].toObject()["reply"].toInt(), 0x1A);
    EXPECT_EQ(queries[2].toObject()["outcome"].toString(), "no answer");
    EXPECT_TRUE(queries[2].toObject()["reply"].isNull());
    const QJsonObject conditions = json["conditions"].toObject();
    EXPECT_TRUE(conditions["offline"].toBool());
    EXPECT_TRUE(conditions["cover-open"].toBool());
    EXPECT_TRUE(conditions["paper-end"].toBool());
    EXPECT_TRUE(conditions["cutter-error"].isNull()); // its query was not answered
    EXPECT_EQ(json["printer-id"].toObject()["model"].toInt(), 0x20);
    EXPECT_TRUE(json["printer-id"].toObject()["type"].isNull());
    const QJsonObject driver = json["driver"].toObject();
    EXPECT_TRUE(driver["paper-out"].isNull());
    EXPECT_EQ(driver["device-id"].toObject()["maker"].toString(), "EPSON \"Seiko\"");
    // A byte that is no UTF-8 still makes valid JSON: the replacement character stands for it.
    EXPECT_EQ(
        driver["device-id"].toObject()["model"].toString(), QString::fromUtf8("TM-T20\uFFFD"));
    EXPECT_GE(json["lights"].toArray().size(), 10);
    EXPECT_EQ(json["lights"].toArray()[0].toObject()["lamp"].toString(), "red");

    EXPECT_TRUE(parsedJson(statusJson(report(0x12, 0x12, 0x12, 0x12)))["ready"].toBool());
    EXPECT_EQ(jsonString(std::string("\x01\\\n", 3)), "\"\\u0001\\\\\\u000A\"");
}

// JSON strings are UTF-8 (RFC 8259): well-formed characters pass whole, each byte that is no
// UTF-8 becomes U+FFFD, so a parser reads back what the printer meant.
TEST(JsonText, WellFormedUtf8PassesAndEveryOtherByteIsAReplacementCharacter)
{
    const std::pair<std::string, std::string> cases[] = {
        { "S\xC3\xA9iko \xE2\x82\xAC \xF0\x9F\x96\xA8",
            "S\xC3\xA9iko \xE2\x82\xAC \xF0\x9F\x96\xA8" },
        { "S\xE9iko", "S\xEF\xBF\xBDiko" }, // Latin-1
        { "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD" }, // overlong "/"
        { "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" }, // a surrogate
        { "\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD" }, // cut off
        { "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" }, // past U+10FFFF
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(jsonString(bytes), '"' + expected + '"') << bytes;
        const auto parsed
            = QJsonDocument::fromJson(QByteArray::fromStdString("[" + jsonString(bytes) + "]"));
        EXPECT_EQ(parsed.array()[0].toString().toStdString(), expected);
    }
}

TEST(TerminalText, PrinterTextCannotActOnTheTerminal)
{
    EXPECT_EQ(printableText("TM-T20II S\xC3\xA9iko"), "TM-T20II S\xC3\xA9iko");
    EXPECT_EQ(printableText("a\x1B[31mb\r\nc\x7F"), "a\\x1B[31mb\\x0D\\x0Ac\\x7F");
    // C1 controls (U+009B is the one-byte CSI) and bytes that are no UTF-8.
    EXPECT_EQ(printableText("\xC2\x9B"
                            "2J \xE9 \xC3"),
        "\\xC2\\x9B2J \\xE9 \\xC3");
    EXPECT_EQ(TerminalText("ISO-8859-1")("Gr\xC3\xBC\xC3\x9F"
                                         "e \xE2\x82\xAC"),
        "Gr\xFC\xDF"
        "e ?");
    EXPECT_EQ(TerminalText("UTF-8")("\xE2\x82\xAC"), "\xE2\x82\xAC");
}
