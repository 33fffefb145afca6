// Telling the printer's replies apart: a reply is the answer only when it fits the question
// and no earlier question is still owed one it fits; late replies and stray bytes are named.
#include "printer/PrinterLinkReplies.h"

#include <gtest/gtest.h>

using printer::ReplySorter;
using Fate = ReplySorter::Fate;

namespace {

const std::string kEot1("\x10\x04\x01", 3), kEot2("\x10\x04\x02", 3), kEot4("\x10\x04\x04", 3),
    kModel("\x1D\x49\x01", 3), kMaker("\x1D\x49\x42", 3);

std::vector<std::string> notes(const std::vector<ReplySorter::Piece>& pieces)
{
    std::vector<std::string> words;
    for (const auto& piece : pieces)
        words.push_back(piece.note());
    return words;
}

} // namespace

TEST(ReplySorter, AReplyAfterItsLimitIsTheLateReplyOfItsQuestionNotTheNextAnswer)
{
    ReplySorter sorter;
    sorter.ask(kEot1);
    sorter.giveUp(); // 0.6 s late against a 0.5 s limit
    sorter.ask(kEot2);
    EXPECT_EQ(notes(sorter.sort("\x1A")), std::vector<std::string> { "late reply to DLE EOT 1" });
    EXPECT_FALSE(sorter.answer());
    // The next byte that fits is the awaited answer.
    EXPECT_EQ(notes(sorter.sort("\x16")), std::vector<std::string> { "reply to DLE EOT 2" });
    EXPECT_EQ(sorter.answer(), "\x16");
    EXPECT_EQ(sorter.lateReplies(), 1u);
}

TEST(ReplySorter, StatusBytesNeverAnswerThePrinterIdAndGarbageIsStray)
{
    ReplySorter sorter;
    for (const auto& question : { kEot1, kEot2, kEot4 }) {
        sorter.ask(question);
        sorter.giveUp();
    }
    sorter.ask(kModel);
    const auto pieces = sorter.sort(std::string("\x1A\x12\xFF\x00\x12\x20", 6));
    EXPECT_EQ(notes(pieces),
        (std::vector<std::string> { "late reply to DLE EOT 1", "late reply to DLE EOT 2",
            "stray bytes (no question)", "late reply to DLE EOT 4", "reply to GS I 1" }));
    EXPECT_EQ(pieces[2].bytes, std::string("\xFF\x00", 2));
    EXPECT_EQ(sorter.answer(), "\x20");
    EXPECT_EQ(sorter.strayBytes(), 2u);
    // Answered in order: nothing is owed any more, so the next status byte is stray.
    EXPECT_EQ(notes(sorter.sort("\x12")), std::vector<std::string> { "stray byte (no question)" });
}

TEST(ReplySorter, AReplySkippingAnOwedQuestionEndsItsWaitAndFramedRepliesWaitForTheirEnd)
{
    ReplySorter sorter;
    sorter.ask(kModel);
    sorter.giveUp();
    sorter.ask(kEot1);
    sorter.giveUp();
    // A status byte cannot be the model: it is DLE EOT 1's, and the model will not come.
    EXPECT_EQ(notes(sorter.sort("\x12")), std::vector<std::string> { "late reply to DLE EOT 1" });
    EXPECT_EQ(notes(sorter.sort("\x20")), std::vector<std::string> { "stray byte (no question)" });

    sorter.ask(kMaker);
    EXPECT_TRUE(sorter
                    .sort("\x5F"
                          "EPS")
                    .empty());
    EXPECT_EQ(notes(sorter.sort(std::string("ON\0", 3))),
        std::vector<std::string> { "reply to GS I 66" });
    EXPECT_EQ(sorter.answer(),
        std::string("\x5F"
                    "EPSON\0",
            7));
}

TEST(ReplySorter, AQuestionAnsweredWithTheWrongShapeIsNotOwedALateReply)
{
    ReplySorter sorter;
    sorter.ask(kEot1);
    EXPECT_EQ(notes(sorter.sort("A")), std::vector<std::string> { "stray byte (no question)" });
    sorter.giveUp();
    sorter.ask(kEot4);
    EXPECT_EQ(notes(sorter.sort("\x72")), std::vector<std::string> { "reply to DLE EOT 4" });
}

TEST(ReplySorter, AutomaticStatusMessagesAreToldApartFromTheAnswersAroundThem)
{
    ReplySorter sorter;
    sorter.expectAutoStatus();
    sorter.ask(kEot1);
    // A message cut off after two bytes waits for the rest; the answer behind it is taken after.
    EXPECT_TRUE(sorter.sort(std::string("\x18\x00", 2)).empty());
    auto pieces = sorter.sort(std::string("\x0C\x00\x1A", 3));
    EXPECT_EQ(
        notes(pieces), (std::vector<std::string> { "automatic status", "reply to DLE EOT 1" }));
    EXPECT_EQ(pieces[0].bytes, std::string("\x18\x00\x0C\x00", 4));
    EXPECT_EQ(sorter.answer(), "\x1A");
    EXPECT_EQ(sorter.strayBytes(), 0u);

    // Not expected, a whole message is still one; a lone byte of its first pattern is no longer
    // held back, and its fitting the printer ID does not make the next bytes a message.
    ReplySorter unasked;
    unasked.ask(kModel);
    EXPECT_EQ(notes(unasked.sort(std::string("\x38\x00\x0C\x00", 4))),
        std::vector<std::string> { "automatic status" });
    EXPECT_FALSE(unasked.answer());
    EXPECT_EQ(notes(unasked.sort("\x30")), std::vector<std::string> { "reply to GS I 1" });
    // A first byte followed by one with bit 4 set is no message: it is stray.
    unasked.ask(kEot1);
    EXPECT_EQ(notes(unasked.sort(std::string("\x10\x16", 2))),
        (std::vector<std::string> { "stray byte (no question)", "reply to DLE EOT 1" }));
}
