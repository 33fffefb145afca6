// Automatic status back: the messages printers send for the states the ESC/POS notes give as
// examples, which changes each GS a bit reports, and that no status reply starts a message.
#include "escpos/AutoStatus.h"

#include <gtest/gtest.h>

using namespace escpos;

namespace {

ConditionSet of(std::initializer_list<Condition> conditions)
{
    ConditionSet set;
    for (const auto condition : conditions)
        set.set(static_cast<std::size_t>(condition));
    return set;
}

const std::string kReady("\x10\x00\x00\x00", 4), kPaperEnd("\x18\x00\x0C\x00", 4),
    kPaperEndCoverOpen("\x38\x00\x0C\x00", 4);

} // namespace

TEST(AutoStatus, TheMessagesOfTheNotesBothWays)
{
    EXPECT_EQ(autoStatusMessage({}), kReady);
    EXPECT_EQ(autoStatusMessage(of({ Condition::Offline, Condition::PaperEnd })), kPaperEnd);
    EXPECT_EQ(
        autoStatusMessage(of({ Condition::Offline, Condition::PaperEnd, Condition::CoverOpen })),
        kPaperEndCoverOpen);
    EXPECT_EQ(autoStatusMessage(of(
                  { Condition::DrawerPin3High, Condition::CutterError, Condition::PaperNearEnd })),
        std::string("\x14\x08\x03\x00", 4));

    EXPECT_TRUE(autoStatusConditions(kReady).empty());
    EXPECT_EQ(autoStatusConditions(kPaperEndCoverOpen),
        (std::vector<Condition> { Condition::Offline, Condition::CoverOpen, Condition::PaperEnd }));
    // A printer with one near-end sensor sets one of the two bits.
    EXPECT_EQ(autoStatusConditions(std::string("\x10\x04\x01\x00", 4)),
        (std::vector<Condition> { Condition::RecoverableError, Condition::PaperNearEnd }));
    EXPECT_EQ(autoStatusCommand(kAutoStatusAll), "\x1D\x61\x0F");
}

TEST(AutoStatus, OnlyTheChosenStatusesCountAsChanges)
{
    const auto drawer = autoStatusMessage(of({ Condition::DrawerPin3High }));
    EXPECT_TRUE(autoStatusDiffers(kAutoStatusDrawer, kReady, drawer));
    EXPECT_FALSE(autoStatusDiffers(
        kAutoStatusOnline | kAutoStatusErrors | kAutoStatusPaper, kReady, drawer));
    EXPECT_TRUE(autoStatusDiffers(kAutoStatusOnline, kPaperEnd, kPaperEndCoverOpen));
    EXPECT_FALSE(autoStatusDiffers(kAutoStatusErrors, kReady, kPaperEnd));
    EXPECT_TRUE(autoStatusDiffers(kAutoStatusPaper, kReady, kPaperEnd));
    // Nothing differs from what was last sent when nothing changed, whatever is chosen.
    EXPECT_FALSE(autoStatusDiffers(kAutoStatusAll, kPaperEnd, kPaperEnd));
}

TEST(AutoStatus, NoStatusReplyStartsAMessageAndEveryFirstByteHasTheFixedBits)
{
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<std::uint8_t>(byte);
        EXPECT_FALSE(hasStatusFixedBits(b) && startsAutoStatus(b)) << byte;
        // 0xx1xx00: bits 0, 1 and 7 clear, bit 4 set.
        const bool first = !(b & 0x01) && !(b & 0x02) && !(b & 0x80) && (b & 0x10);
        EXPECT_EQ(startsAutoStatus(b), first) << byte;
        EXPECT_EQ(continuesAutoStatus(b), !(b & 0x10) && !(b & 0x80)) << byte;
    }
    // XON and XOFF start no message.
    EXPECT_FALSE(startsAutoStatus(0x11));
    EXPECT_FALSE(startsAutoStatus(0x13));
}
