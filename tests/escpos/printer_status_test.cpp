// Status replies: the fixed bits, every condition's bits both ways, and the replies printers send.
#include "escpos/PrinterStatus.h"

#include <gtest/gtest.h>

using namespace escpos;

namespace {

ConditionSet only(Condition condition)
{
    ConditionSet set;
    set.set(static_cast<std::size_t>(condition));
    return set;
}

} // namespace

TEST(PrinterStatus, EveryByteWithWrongFixedBitsIsRefusedForEveryQuery)
{
    for (const auto query : kStatusQueries) {
        int accepted = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const bool fixedBitsRight = (byte & 0x01) == 0 && (byte & 0x80) == 0
                && (byte & 0x02) != 0 && (byte & 0x10) != 0;
            EXPECT_EQ(
                decodeStatus(query, static_cast<std::uint8_t>(byte)).has_value(), fixedBitsRight)
                << "query " << int(query) << " byte " << byte;
            accepted += fixedBitsRight;
        }
        EXPECT_EQ(accepted, 16); // four free bits
    }
}

TEST(PrinterStatus, EachConditionEncodesToItsOwnReplyAndDecodesBackAlone)
{
    for (std::size_t i = 0; i < kConditionCount; ++i) {
        const auto condition = static_cast<Condition>(i);
        int repliesCarryingIt = 0;
        for (const auto query : kStatusQueries) {
            const auto reply = encodeStatus(query, only(condition));
            ASSERT_TRUE(hasStatusFixedBits(reply));
            const auto decoded = decodeStatus(query, reply);
            ASSERT_TRUE(decoded);
            if (reply != 0x12) {
                ++repliesCarryingIt;
                EXPECT_EQ(*decoded, only(condition)) << conditionKey(condition);
            } else {
                EXPECT_TRUE(decoded->none());
            }
        }
        EXPECT_EQ(repliesCarryingIt, 1) << conditionKey(condition);
        EXPECT_EQ(conditionFromKey(conditionKey(condition)), condition);
    }
    EXPECT_FALSE(conditionFromKey("paper"));
}

TEST(PrinterStatus, RepliesOfRealPrintersDecodeToTheirMeaning)
{
    const struct {
        StatusQuery query;
        std::uint8_t reply;
        ConditionSet meaning;
    } cases[] = {
        { StatusQuery::Printer, 0x12, {} },
        { StatusQuery::Printer, 0x16, only(Condition::DrawerPin3High) },
        { StatusQuery::Printer, 0x1A, only(Condition::Offline) },
        { StatusQuery::PaperSensor, 0x72, only(Condition::PaperEnd) },
        { StatusQuery::PaperSensor, 0x7E,
            only(Condition::PaperEnd) | only(Condition::PaperNearEnd) },
        // Some printers set only one of the two sensor bits.
        { StatusQuery::PaperSensor, 0x16, only(Condition::PaperNearEnd) },
        { StatusQuery::OfflineCause, 0x36,
            only(Condition::CoverOpen) | only(Condition::StoppedByPaperEnd) },
        { StatusQuery::ErrorCause, 0x1A, only(Condition::CutterError) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeStatus(c.query, c.reply), c.meaning) << int(c.reply);
    EXPECT_EQ(encodeStatus(StatusQuery::PaperSensor, only(Condition::PaperEnd)), 0x72);
}

// Every free bit of every DLE EOT reply, written out from the printer manuals' reply table as
// literal bytes: 0x12 with bit 2 (0x16), bit 3 (0x1A), bit 5 (0x32) or bit 6 (0x52) set.
TEST(PrinterStatus, EveryBitOfEveryReplyMeansWhatTheManualsSay)
{
    using C = Condition;
    const struct {
        StatusQuery query;
        C bit2, bit3, bit5, bit6;
    } table[] = {
        { StatusQuery::Printer, C::DrawerPin3High, C::Offline, C::WaitingForRecovery,
            C::FeedButtonPressed },
        { StatusQuery::OfflineCause, C::CoverOpen, C::PaperFedByButton, C::StoppedByPaperEnd,
            C::ErrorOccurred },
        { StatusQuery::ErrorCause, C::RecoverableError, C::CutterError, C::UnrecoverableError,
            C::AutoRecoverableError },
        // The roll paper sensor reports each of its two conditions on two bits.
        { StatusQuery::PaperSensor, C::PaperNearEnd, C::PaperNearEnd, C::PaperEnd, C::PaperEnd },
    };
    for (const auto& row : table) {
        const int n = int(row.query);
        EXPECT_EQ(decodeStatus(row.query, 0x12), ConditionSet()) << n;
        EXPECT_EQ(decodeStatus(row.query, 0x16), only(row.bit2)) << n;
        EXPECT_EQ(decodeStatus(row.query, 0x1A), only(row.bit3)) << n;
        EXPECT_EQ(decodeStatus(row.query, 0x32), only(row.bit5)) << n;
        EXPECT_EQ(decodeStatus(row.query, 0x52), only(row.bit6)) << n;
        EXPECT_EQ(decodeStatus(row.query, 0x7E),
            only(row.bit2) | only(row.bit3) | only(row.bit5) | only(row.bit6))
            << n;
    }
    // What the virtual printer answers, byte for byte: one bit each, both sensor bits at once.
    const struct {
        StatusQuery query;
        C condition;
        std::uint8_t reply;
    } encoded[] = {
        { StatusQuery::Printer, C::DrawerPin3High, 0x16 },
        { StatusQuery::Printer, C::Offline, 0x1A },
        { StatusQuery::Printer, C::WaitingForRecovery, 0x32 },
        { StatusQuery::Printer, C::FeedButtonPressed, 0x52 },
        { StatusQuery::OfflineCause, C::CoverOpen, 0x16 },
        { StatusQuery::OfflineCause, C::PaperFedByButton, 0x1A },
        { StatusQuery::OfflineCause, C::StoppedByPaperEnd, 0x32 },
        { StatusQuery::OfflineCause, C::ErrorOccurred, 0x52 },
        { StatusQuery::ErrorCause, C::RecoverableError, 0x16 },
        { StatusQuery::ErrorCause, C::CutterError, 0x1A },
        { StatusQuery::ErrorCause, C::UnrecoverableError, 0x32 },
        { StatusQuery::ErrorCause, C::AutoRecoverableError, 0x52 },
        { StatusQuery::PaperSensor, C::PaperNearEnd, 0x1E },
        { StatusQuery::PaperSensor, C::PaperEnd, 0x72 },
    };
    for (const auto& e : encoded)
        EXPECT_EQ(int(encodeStatus(e.query, only(e.condition))), int(e.reply))
            << conditionKey(e.condition);
}

// The first byte of an automatic status back (0xx1xx00) is never taken for a DLE EOT reply
// (0xx1xx10), whatever its free bits say: ready, drawer pin high, offline, cover open, paper fed.
TEST(PrinterStatus, FirstAutomaticStatusBytesAreNoRealTimeReplies)
{
    const std::string eot1("\x10\x04\x01", 3);
    for (const std::uint8_t asb : { 0x10, 0x14, 0x18, 0x30, 0x50, 0x7C }) {
        EXPECT_FALSE(hasStatusFixedBits(asb)) << int(asb);
        for (const auto query : kStatusQueries)
            EXPECT_FALSE(decodeStatus(query, asb)) << int(asb);
        EXPECT_EQ(replyLength(eot1, std::string(1, static_cast<char>(asb))), kNoReply) << int(asb);
    }
}

TEST(PrinterStatus, QueriesAreTheirCommandBytes)
{
    EXPECT_EQ(statusQueryBytes(StatusQuery::OfflineCause), std::string("\x10\x04\x02", 3));
    EXPECT_EQ(idQueryBytes(IdQuery::Model), std::string("\x1D\x49\x01", 3));
    EXPECT_FALSE(idAnswersText(IdQuery::Version));
    EXPECT_TRUE(idAnswersText(IdQuery::Maker));
}

TEST(ReplyPatterns, EachQuestionTakesOnlyTheRepliesThatFitIt)
{
    const std::string eot1("\x10\x04\x01", 3), model("\x1D\x49\x01", 3), maker("\x1D\x49\x42", 3);
    // Written out bit by bit from the reply table: 0xx1xx10 answers DLE EOT, and such a byte
    // (or XON 0x11, XOFF 0x13, 0x00, anything with bit 7) never passes for a printer ID.
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const bool statusPattern = ((byte >> 7) & 1) == 0 && ((byte >> 4) & 1) == 1
            && ((byte >> 1) & 1) == 1 && (byte & 1) == 0;
        EXPECT_EQ(replyLength(eot1, one), statusPattern ? 1u : kNoReply) << byte;
        const bool idByte
            = byte >= 0x01 && byte <= 0x7F && !statusPattern && byte != 0x11 && byte != 0x13;
        EXPECT_EQ(replyLength(model, one), idByte ? 1u : kNoReply) << byte;
    }
    // The offline printer's replies, 2 s late, are not a model and type.
    EXPECT_EQ(replyLength(model, "\x1A"), kNoReply);
    EXPECT_EQ(replyLength(std::string("\x1D\x49\x02", 3), "\x12"), kNoReply);
    // Text IDs are framed 5F … 00.
    EXPECT_EQ(replyLength(maker,
                  std::string("\x5F"
                              "EPSON\0\x12",
                      8)),
        7u);
    EXPECT_EQ(replyLength(maker,
                  "\x5F"
                  "EPS"),
        kReplyIncomplete);
    EXPECT_EQ(replyLength(maker, "EPSON"), kNoReply);
    EXPECT_EQ(questionName(eot1), "DLE EOT 1");
    EXPECT_EQ(questionName(maker), "GS I 66");
}
