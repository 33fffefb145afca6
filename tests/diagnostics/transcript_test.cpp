// The transcript store: rows per command, long commands over several rows, the text form, and
// the raw bytes sent, also at ten megabytes.
#include "diagnostics/CommandNames.h"
#include "diagnostics/Transcript.h"
#include "diagnostics/TranscriptFiles.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace diagnostics;

namespace {

// Names the cut command and leaves the rest as text, as a command table would.
std::vector<NamedPiece> nameCuts(std::string_view bytes)
{
    std::vector<NamedPiece> pieces;
    const std::string_view cut("\x1D\x56\x42\x00", 4);
    std::size_t text = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes.substr(i, 4) == cut) {
            if (text)
                pieces.push_back({ text, "" });
            pieces.push_back({ 4, "GS V 66 0: partial cut after feed" });
            text = 0;
            i += 4;
        } else {
            ++text;
            ++i;
        }
    }
    if (text)
        pieces.push_back({ text, "" });
    return pieces;
}

std::string sentBytes(const Transcript& transcript)
{
    std::ostringstream out;
    transcript.writeSentBytes(out);
    return out.str();
}

} // namespace

TEST(Transcript, OneRowPerCommandAndLongPiecesContinue)
{
    Transcript transcript(nameCuts);
    const std::string text(40, 'a');
    EXPECT_EQ(transcript.append(Direction::Sent, text + std::string("\x1D\x56\x42\x00", 4)), 4u);
    EXPECT_EQ(transcript.append(Direction::Received, "\x12"), 1u);
    ASSERT_EQ(transcript.rowCount(), 5u);
    EXPECT_EQ(transcript.row(0).bytes, std::string(16, 'a'));
    EXPECT_EQ(transcript.row(2).bytes, std::string(8, 'a'));
    EXPECT_EQ(transcript.row(3).name, "GS V 66 0: partial cut after feed");
    EXPECT_EQ(transcript.row(4).direction, Direction::Received);
    EXPECT_TRUE(transcript.row(4).name.empty());
    // After the time: direction, hex in 16 columns, printable text in 16, the command's name.
    const auto padded = [](std::string text, std::size_t width) {
        text.resize(width, ' ');
        return text;
    };
    EXPECT_EQ(Transcript::rowText(transcript.row(3)).substr(12),
        "  sent  " + padded("1D 56 42 00", 48) + " " + padded(".VB.", 16)
            + "  GS V 66 0: partial cut after feed");
    EXPECT_EQ(
        Transcript::rowText(transcript.row(4)).substr(12), "  recv  " + padded("12", 48) + " .");
}

TEST(Transcript, ANamerThatLeavesBytesOutStillShowsThemAndEmptyAppendsAddNothing)
{
    Transcript transcript([](std::string_view) {
        return std::vector<NamedPiece> { { 2, "two" } };
    });
    EXPECT_EQ(transcript.append(Direction::Sent, "abcdef"), 2u);
    EXPECT_EQ(transcript.row(1).bytes, "cdef");
    EXPECT_EQ(transcript.append(Direction::Sent, ""), 0u);
    EXPECT_EQ(transcript.rowCount(), 2u);
}

TEST(Transcript, TenMegabytesAmongRepliesSaveAsExactlyTheBytesSent)
{
    Transcript transcript(nameCuts);
    std::string sent;
    std::string chunk(64 * 1024, '\0');
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 7 + 3); // every byte value, zero included
    while (sent.size() < 10u << 20) {
        transcript.append(Direction::Sent, chunk);
        transcript.append(Direction::Received, "\x12\x72");
        sent += chunk;
    }
    EXPECT_GE(transcript.byteCount(), 10u << 20);
    EXPECT_EQ(sentBytes(transcript), sent);

    testsupport::TempDir dir;
    saveSentBytes(transcript, dir.file("sent.bin"));
    EXPECT_EQ(dir.readFile("sent.bin"), sent);
    transcript.clear();
    EXPECT_EQ(transcript.rowCount(), 0u);
    EXPECT_EQ(sentBytes(transcript), "");
}

TEST(Transcript, SavedTextHasOneLinePerRowAndAnUnwritableFileIsAnError)
{
    Transcript transcript(nameCuts);
    transcript.append(Direction::Sent, std::string("\x1D\x56\x42\x00", 4));
    transcript.append(Direction::Received, "\x12");
    testsupport::TempDir dir;
    saveTranscriptText(transcript, dir.file("t.txt"));
    const auto text = dir.readFile("t.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_NE(text.find("GS V 66 0: partial cut after feed\n"), std::string::npos);
    EXPECT_THROW(
        saveTranscriptText(transcript, dir.path() + "/no/such/folder/t.txt"), platform::Exception);
}

TEST(CommandNames, ThePressesOfTheWindowReadAsTheirCommands)
{
    Transcript transcript(nameCommands);
    transcript.append(Direction::Sent,
        std::string("\x1B\x40Hello\r\n\x1B\x40\x1D\x56\x42\x00\x1B\x70\x00\x32\x32\x0D", 21));
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < transcript.rowCount(); ++i)
        rows.push_back(
            hexText(transcript.row(i).bytes) + " | " + std::string(transcript.row(i).name));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].substr(0, 11), "1B 40 | ESC");
    EXPECT_EQ(rows[1], "48 65 6C 6C 6F | text");
    EXPECT_EQ(rows[5].substr(0, 24), "1D 56 42 00 | GS V 66 0 ");
    EXPECT_NE(rows[5].find("partial cut"), std::string::npos) << rows[5];
    EXPECT_EQ(rows[6].substr(0, 20), "1B 70 00 32 32 | ESC");
}

TEST(CommandNames, PiecesCoverTheStreamWhateverItHolds)
{
    // Unknown commands, a truncated one, and a raster image whose header claims more than there is.
    const std::string streams[] = { std::string("\x1B\xFF\x01\x02"
                                                "abc",
                                        6),
        std::string("\x1D\x56", 2), std::string("\x1D\x76\x30\x00\xFF\xFF\xFF\xFFxyz", 11),
        std::string(1, '\0') };
    for (const auto& stream : streams) {
        std::size_t covered = 0;
        for (const auto& piece : nameCommands(stream)) {
            EXPECT_GT(piece.length, 0u);
            covered += piece.length;
        }
        EXPECT_EQ(covered, stream.size()) << hexText(stream);
    }
}
