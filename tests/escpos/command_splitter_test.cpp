// The command splitter: every command's length and description from the table, any chunking,
// unknown, broken, truncated and oversized commands without losing step.
#include "SplitRecorder.h"

#include <gtest/gtest.h>

#include <random>

using namespace escpos;
using namespace std::string_literals;

namespace {

struct Sample {
    std::string bytes; // one whole command
    std::string description;
};

// One sample of each way a length is found, with the words the transcript shows.
const Sample kSamples[] = {
    { "\n", "LF line feed" },
    { "\x18", "CAN cancel" },
    { "\x10\x04\x01", "DLE EOT 1 real-time status printer" },
    { "\x10\x04\x07\x01", "DLE EOT 7 real-time status of an unknown kind" },
    { "\x10\x05\x02", "DLE ENQ 2 real-time request" },
    { "\x10\x14\x01\x00\x05"s, "DLE DC4 1 0 5 real-time command" },
    { "\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08", "DLE DC4 8 1 3 20 1 6 2 8 real-time command" },
    { "\x1b@", "ESC @ initialize" },
    { "\x1b!\x38", "ESC ! 56 print mode emphasized, double height, double width" },
    { "\x1b!\x00"s, "ESC ! 0 print mode normal" },
    { "\x1b-\x02", "ESC - 2 underline 2 dots" },
    { "\x1b"
      "E\x01",
        "ESC E 1 emphasis on" },
    { "\x1b"
      "a1",
        "ESC a 49 justification center" },
    { "\x1bt\x13", "ESC t 19 code table PC858" },
    { "\x1b$\x20\x01", "ESC $ 32 1 absolute position 288 dots" },
    { "\x1b"
      "c3\x00"s,
        "ESC c 51 0 sensors and panel buttons" },
    { "\x1bp\x00\x32\x32"s, "ESC p 0 50 50 drawer pulse pin 2" },
    { "\x1bp\x01\x19\xfa", "ESC p 1 25 250 drawer pulse pin 5" },
    { "\x1bW\x00\x00\x00\x00\x40\x02\x7e\x04"s, "ESC W 0 0 0 0 64 2 126 4 page-mode area" },
    { "\x1b"
      "D\x08\x10\x18\x00"s,
        "ESC D tab positions 8 16 24" },
    { "\x1b*\x21\x02\x00"s + std::string(6, '\xff'), "ESC * 33 2 0 bit image 2x24 dots" },
    { "\x1b*\x00\x03\x00"
      "abc"s,
        "ESC * 0 3 0 bit image 3x8 dots" },
    { "\x1b&\x03\x41\x42\x01"
      "abc\x02"
      "abcdef",
        "ESC & 3 65 66 define user-defined characters" },
    { "\x1bi", "ESC i partial cut" },
    { "\x1c.", "FS . Kanji mode off" },
    { "\x1c"
      "C\x01",
        "FS C 1 Kanji code system" },
    { "\x1cp\x01\x00"s, "FS p 1 0 print NV image" },
    { "\x1c(A\x02\x00\x30\x40"s, "FS ( A 2 0 extended function" },
    { "\x1d!\x11", "GS ! 17 character size width x2 height x2" },
    { "\x1dL\x10\x00"s, "GS L 16 0 left margin 16 dots" },
    { "\x1dP\xb4\xb4", "GS P 180 180 motion units" },
    { "\x1d^\x01\x02\x00"s, "GS ^ 1 2 0 run macro" },
    { "\x1d:", "GS : macro definition" },
    { "\x1dV\x00"s, "GS V 0 full cut" },
    { "\x1dV\x31", "GS V 49 partial cut" },
    { "\x1dV\x42\x00"s, "GS V 66 0 partial cut after feed" },
    { "\x1dV\x68\x05", "GS V 104 5 partial cut after feed and reverse feed" },
    { "\x1d*\x01\x02" + std::string(16, '\x0f'), "GS * 1 2 define downloaded image" },
    { "\x1dv0\x00\x02\x00\x03\x00"s + std::string(6, '\xaa'),
        "GS v 0 0 2 0 3 0 raster image 16x3 dots" },
    { "\x1dk\x04"
      "ABC\x00"s,
        "GS k 4 barcode CODE39 \"ABC\"" },
    { "\x1dk\x49\x05{Babc", "GS k 73 barcode CODE128 \"{Babc\"" },
    { "\x1d(k\x03\x00\x31\x43\x06"s, "GS ( k 3 0 extended function QR code module size 6" },
    { "\x1d(k\x07\x00\x31\x50\x30"
      "abcd"s,
        "GS ( k 7 0 extended function QR code store 4 bytes" },
    { "\x1d(L\x02\x00\x30\x32"s, "GS ( L 2 0 extended function" },
    { "\x1d"
      "8L\x02\x00\x00\x00\x30\x32"s,
        "GS 8 L 2 0 0 0 extended graphics" },
    { "\x1dI\x01", "GS I 1 printer ID model" },
};

} // namespace

TEST(CommandSplitter, EachCommandHasItsLengthAndDescription)
{
    for (const auto& sample : kSamples) {
        // Followed by text, so a length one too short or too long shows as a changed text.
        const auto pieces = splitInChunks(sample.bytes + "after");
        ASSERT_EQ(pieces.size(), 2u) << sample.description;
        EXPECT_EQ(pieces[0].kind, CommandKind::Known) << sample.description;
        EXPECT_EQ(pieces[0].bytes, sample.bytes);
        EXPECT_EQ(pieces[0].description, sample.description);
        EXPECT_EQ(pieces[1].bytes, "after") << sample.description;
    }
}

TEST(CommandSplitter, QuilletsButtonsSplitIntoTheirCommands)
{
    const auto pieces = splitInChunks("\x1b@Hello!\r\n\x1b@\x1dV\x42\x00\x1bp\x00\x32\x32\r"s);
    std::vector<std::string> descriptions;
    for (const auto& piece : pieces)
        descriptions.push_back(piece.description);
    EXPECT_EQ(descriptions,
        (std::vector<std::string> { "ESC @ initialize", "text", "CR carriage return",
            "LF line feed", "ESC @ initialize", "GS V 66 0 partial cut after feed",
            "ESC p 0 50 50 drawer pulse pin 2", "CR carriage return" }));
    EXPECT_EQ(pieces[1].bytes, "Hello!");
}

TEST(CommandSplitter, AnyChunkingYieldsTheSameCommands)
{
    std::string stream;
    for (const auto& sample : kSamples)
        stream += sample.bytes + "text ";
    stream += "\x1b\x99x\x1b\n\x01"; // unknown commands too
    const auto whole = splitInChunks(stream);
    for (std::size_t chunk = 1; chunk <= 17; ++chunk)
        ASSERT_EQ(splitInChunks(stream, chunk), whole) << "chunks of " << chunk;

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        SplitRecorder recorder;
        CommandSplitter splitter(recorder.sink());
        for (std::size_t at = 0; at < stream.size();) {
            const auto size = std::uniform_int_distribution<std::size_t>(0, 40)(random);
            splitter.feed(std::string_view(stream).substr(at, size));
            at += size;
        }
        splitter.finish();
        ASSERT_EQ(recorder.pieces, whole) << "round " << round;
    }
}

TEST(CommandSplitter, UnknownCommandsAreSkippedWithoutLosingStep)
{
    const auto pieces = splitInChunks("\x1b\x99"
                                      "A\x1b\n\x1d\x1b@\x07"
                                      "B"s);
    ASSERT_EQ(pieces.size(), 8u);
    EXPECT_EQ(pieces[0],
        (SplitPiece { CommandKind::Unknown, "\x1b\x99", "1B 99 unknown command, skipped", 0 }));
    EXPECT_EQ(pieces[1].bytes, "A");
    // A prefix followed by a byte that starts something itself is unknown alone.
    EXPECT_EQ(pieces[2].bytes, "\x1b");
    EXPECT_EQ(pieces[3].description, "LF line feed");
    EXPECT_EQ(pieces[4].bytes, "\x1d");
    EXPECT_EQ(pieces[5].description, "ESC @ initialize");
    EXPECT_EQ(
        pieces[6], (SplitPiece { CommandKind::Unknown, "\x07", "07 unknown command, skipped", 0 }));
}

TEST(CommandSplitter, BrokenDataDropsOnlyTheHeader)
{
    // A barcode whose zero byte never comes, a cut of an unknown form, a bit image mode that
    // does not exist: what follows the header is read again as a stream.
    const std::string endless = "\x1dk\x04" + std::string(300, 'A') + "\x1b@";
    auto pieces = splitInChunks(endless, 7);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].kind, CommandKind::Unknown);
    EXPECT_EQ(pieces[0].bytes, "\x1dk\x04");
    EXPECT_EQ(pieces[1].bytes, std::string(300, 'A'));
    EXPECT_EQ(pieces[2].description, "ESC @ initialize");

    pieces = splitInChunks("\x1dV\x07Z\x1b*\x05\x01\x00Q"s);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].bytes, "\x1dV\x07");
    EXPECT_EQ(pieces[1].bytes, "Z");
    EXPECT_EQ(pieces[2].bytes, "\x1b*\x05\x01\x00"s);
    EXPECT_EQ(pieces[3].bytes, "Q");
}

TEST(CommandSplitter, ACommandCutByTheEndOfTheStreamIsReportedTruncated)
{
    auto pieces = splitInChunks("ok\x1dv0\x00\x02\x00\x02\x00\xaa"s);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].kind, CommandKind::Truncated);
    EXPECT_EQ(pieces[1].missing, 3u);
    EXPECT_EQ(
        pieces[1].description, "GS v 0 truncated: the stream ended after 9 bytes, 3 bytes missing");

    pieces = splitInChunks("\x1d(k\x05"s, 1);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].kind, CommandKind::Truncated);
    EXPECT_EQ(pieces[0].missing, 0u); // the length never arrived whole

    pieces = splitInChunks("\x1b");
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].kind, CommandKind::Truncated);
    EXPECT_EQ(pieces[0].description, "1B truncated: the stream ended after 1 bytes");
}

TEST(CommandSplitter, OversizedDataIsSkippedAsItArrivesNeverKept)
{
    // 4096 bytes a row, 1100 rows: 4.5 MB of raster data, more than a command may hold.
    const std::string header = "\x1dv0\x00\x00\x10\x4c\x04"s;
    const std::uint64_t data = 4096ull * 1100;
    SplitRecorder recorder;
    std::size_t largestKept = 0;
    CommandSplitter splitter([&](const Command& command) {
        largestKept = std::max(largestKept, command.bytes.size());
        recorder.sink()(command);
    });
    splitter.feed(header.substr(0, 5));
    splitter.feed(header.substr(5));
    const std::string block(65536, '\x55');
    for (std::uint64_t sent = 0; sent < data; sent += block.size())
        splitter.feed(
            std::string_view(block).substr(0, std::min<std::uint64_t>(block.size(), data - sent)));
    splitter.feed("\x1b@");
    splitter.finish();

    ASSERT_EQ(recorder.pieces.size(), 2u);
    EXPECT_EQ(recorder.pieces[0].kind, CommandKind::Oversized);
    EXPECT_EQ(recorder.pieces[0].bytes, header);
    EXPECT_EQ(recorder.pieces[0].missing, data);
    EXPECT_EQ(recorder.pieces[0].description,
        "GS v 0 0 0 16 76 4 raster image 32768x1100 dots refused: 4505600 bytes of data skipped");
    EXPECT_EQ(recorder.pieces[1].description, "ESC @ initialize");
    EXPECT_LE(largestKept, header.size() + 2);
}

TEST(CommandSplitter, AStreamEndingInsideSkippedDataSaysSo)
{
    const auto pieces = splitInChunks("\x1d"
                                      "8L\xff\xff\xff\x7f\x30\x70"
                                      "abc"s);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].kind, CommandKind::Oversized);
    EXPECT_EQ(pieces[1].kind, CommandKind::Truncated);
    EXPECT_EQ(pieces[1].missing, 0x7fffffffu - 5);
}

TEST(CommandSplitter, AFinishedSplitterStartsAfresh)
{
    SplitRecorder recorder;
    CommandSplitter splitter(recorder.sink());
    splitter.feed("\x1b");
    splitter.finish();
    splitter.feed("@");
    splitter.finish();
    ASSERT_EQ(recorder.pieces.size(), 2u);
    EXPECT_EQ(recorder.pieces[1].bytes, "@");
    EXPECT_EQ(recorder.pieces[1].kind, CommandKind::Text);
}

namespace {

// One whole command of every kind the printer knows, lengths worked out by hand from the
// manuals' descriptions (not from the splitter's table).
std::vector<std::string> everyCommand()
{
    std::vector<std::string> all = { "\t", "\n", "\f", "\r", "\x18", "\x10\x04\x01",
        "\x10\x04\x07\x01", "\x10\x05\x01", "\x10\x14\x01\x00\x05"s, "\x10\x14\x02\x01\x08",
        "\x10\x14\x07\x01", "\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08", "\x10\x14\x03", "\x1b\x0c",
        "\x1b$\x10\x00"s,
        "\x1b&\x03\x41\x41\x02"
        "abcdef",
        "\x1b*\x00\x02\x00xy"s, "\x1b*\x21\x01\x00xyz"s, "\x1bW12345678", "\x1b\\\x10\x00"s,
        "\x1b"
        "c3\x01",
        "\x1bp\x00\x19\x19"s,
        "\x1b"
        "D\x08\x10\x00"s,
        "\x1c(A\x02\x00\x30\x40"s, "\x1cS\x01\x02", "\x1cp\x01\x00"s, "\x1d$\x10\x00"s,
        "\x1d(k\x03\x00\x31\x43\x06"s, "\x1d*\x01\x01" + std::string(8, '\x0f'),
        "\x1d"
        "8L\x02\x00\x00\x00\x30\x32"s,
        "\x1dL\x10\x00"s, "\x1dP\xb4\xb4", "\x1dW\x40\x02", "\x1d\\\x10\x00"s, "\x1d^\x01\x02\x00"s,
        "\x1dV\x00"s, "\x1dV\x01", "\x1dV\x30", "\x1dV\x31", "\x1dV\x41\x05", "\x1dV\x42\x00"s,
        "\x1dV\x61\x01", "\x1dV\x62\x01", "\x1dV\x67\x01", "\x1dV\x68\x01",
        "\x1dk\x04"
        "AB\x00"s,
        "\x1dk\x49\x03{B1", "\x1dv0\x00\x01\x00\x02\x00\xaa\x55"s };
    for (const char function : "@2<LSimv")
        if (function)
            all.push_back("\x1b"s + function);
    for (const char function : " !%-3=?EGJMRTVadertu{")
        if (function)
            all.push_back("\x1b"s + function + '\x01');
    for (const char function : ".&")
        if (function)
            all.push_back("\x1c"s + function);
    for (const char function : "!-CW")
        if (function)
            all.push_back("\x1c"s + function + '\x01');
    all.push_back("\x1d:");
    for (const char function : "!BHITabfhrw/")
        if (function)
            all.push_back("\x1d"s + function + '\x01');
    return all;
}

} // namespace

// A command whose last bytes end a read runs during that read, however it was cut: the reply to a
// status query or a cut must not wait for more data that may never come.
TEST(CommandSplitter, ACommandCompletedByTheLastBytesOfAReadRunsAtOnce)
{
    for (const auto& command : everyCommand()) {
        for (std::size_t cut = 0; cut < command.size(); ++cut) {
            SplitRecorder recorder;
            CommandSplitter splitter(recorder.sink());
            splitter.feed(std::string_view(command).substr(0, cut));
            EXPECT_TRUE(recorder.pieces.empty()) << hexBytes(command) << " cut after " << cut;
            splitter.feed(std::string_view(command).substr(cut));
            ASSERT_EQ(recorder.pieces.size(), 1u) << hexBytes(command) << " cut after " << cut;
            EXPECT_EQ(recorder.pieces[0].kind, CommandKind::Known) << hexBytes(command);
            EXPECT_EQ(recorder.pieces[0].bytes, command);
            splitter.finish();
            EXPECT_EQ(recorder.pieces.size(), 1u) << "nothing is left for the end";
        }
        // Byte by byte: nothing before the last byte, the command with it.
        SplitRecorder recorder;
        CommandSplitter splitter(recorder.sink());
        for (std::size_t at = 0; at < command.size(); ++at) {
            splitter.feed(std::string_view(command).substr(at, 1));
            EXPECT_EQ(recorder.pieces.size(), at + 1 == command.size() ? 1u : 0u)
                << hexBytes(command) << " after byte " << at;
        }
        splitter.finish();
        EXPECT_EQ(recorder.pieces.size(), 1u) << hexBytes(command);
    }
}

// Two commands, the first completed by the end of a read that also began the second.
TEST(CommandSplitter, ACompletedCommandAndTheStartOfTheNextShareARead)
{
    SplitRecorder recorder;
    CommandSplitter splitter(recorder.sink());
    splitter.feed("\x10");
    splitter.feed("\x04\x01\x1d");
    ASSERT_EQ(recorder.pieces.size(), 1u);
    EXPECT_EQ(recorder.pieces[0].description, "DLE EOT 1 real-time status printer");
    splitter.feed("V\x42");
    splitter.feed("\x00"s);
    ASSERT_EQ(recorder.pieces.size(), 2u);
    EXPECT_EQ(recorder.pieces[1].description, "GS V 66 0 partial cut after feed");
    splitter.finish();
    EXPECT_EQ(recorder.pieces.size(), 2u);
}
