// The scrambled form of the credits texts: the tool's passes against unscrambleText, the
// faults, and the stored texts themselves.
#include "credits/CreditTexts.h"
#include "credits/Scramble.h"
#include "platform/Exception.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>

#include <random>

using namespace credits;

TEST(Scramble, MatchesValuesWorkedOutByHand)
{
    // One pass XORs with (k + 174) mod 256: 0x41 ^ 0xAE = 0xEF; with two bytes 0xAF ^ 0xB0 = 0x1F.
    EXPECT_EQ(scrambleText("A", std::string_view("\0", 1)), "EF");
    EXPECT_EQ(scrambleText("A", "\x01\x02"), "5E");
    // 0x52 + 174 wraps to 0: that byte leaves the text as it is.
    EXPECT_EQ(scrambleText("AB", "\x52"), "4142");
    EXPECT_EQ(unscrambleText("5e", "\x01\x02"), "A") << "lower-case digits are accepted";
}

TEST(Scramble, UnscramblingUndoesTheToolsPasses)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string plain(random() % 40, '\0');
        std::string key(random() % 11, '\0');
        for (char& c : plain)
            c = static_cast<char>(random());
        for (char& c : key)
            c = static_cast<char>(random());
        const std::string hex = scrambleText(plain, key);
        ASSERT_EQ(hex.size(), 2 * plain.size());
        ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        ASSERT_EQ(unscrambleText(hex, key), plain);
    }
}

TEST(Scramble, EmptyTextsAndKeys)
{
    platform::RecordingMessageService messages;
    EXPECT_EQ(unscrambleText("", ""), "");
    EXPECT_EQ(unscrambleText("", "\x10\x20"), "");
    EXPECT_EQ(unscrambleText("414243", ""), "ABC");
    EXPECT_EQ(scrambleText("", "\x10\x20"), "");
    EXPECT_TRUE(messages.boxes().empty());
}

TEST(Scramble, AnOddLengthShowsError110AndGivesNoResult)
{
    platform::RecordingMessageService messages;
    for (const char* odd : { "A", "41424", "ZZZ" }) {
        messages.clear();
        EXPECT_EQ(unscrambleText(odd, "\x01\x02"), std::nullopt) << odd;
        ASSERT_EQ(messages.boxes().size(), 1u);
        EXPECT_EQ(messages.boxes()[0].kind, platform::MessageKind::Plain);
        EXPECT_EQ(messages.boxes()[0].text, "error 110!!");
    }
}

TEST(Scramble, ANonHexPairRaisesTheConversionError)
{
    const std::pair<const char*, const char*> cases[] = {
        { "414G", "'$4G' is not a valid integer value" },
        { " 1", "'$ 1' is not a valid integer value" },
        { "+1", "'$+1' is not a valid integer value" },
        { "-1", "'$-1' is not a valid integer value" },
        { "x1", "'$x1' is not a valid integer value" },
    };
    for (const auto& [hex, message] : cases) {
        try {
            unscrambleText(hex, "\x01\x02");
            ADD_FAILURE() << hex;
        } catch (const platform::EConvertError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

TEST(StoredTexts, HaveTheirLengthsAndAreReallyScrambled)
{
    struct Row {
        const ScrambledText& text;
        std::size_t length;
        std::size_t keyLength;
    };
    using namespace texts;
    const Row rows[] = {
        { startupCaption, 22, 6 },
        { secondCaption, 29, 6 },
        { markerKeyA, 10, 3 },
        { markerSubKeyB, 6, 3 },
        { markerKeyC, 16, 3 },
        { creditLine1, 20, 9 },
        { creditLine2, 33, 6 },
        { creditLine3, 25, 5 },
        { triggerPhrase1, 18, 10 },
        { triggerPhrase2, 18, 3 },
        { triggerPhrase3, 16, 2 },
        { triggerPhrase4, 34, 2 },
        { testedKeyD, 6, 5 },
        { createdKeyE, 6, 5 },
        { valueKeyF, 16, 5 },
        { valueName1, 9, 3 },
        { valueData1, 20, 3 },
        { valueName2, 12, 6 },
        { valueData2, 34, 7 },
        { valueName3, 20, 5 },
        { valueData3, 33, 6 },
        { copyrightLine, 20, 6 },
        { webAddressText, 26, 6 },
        { webAddress, 26, 6 },
    };
    for (const Row& row : rows) {
        const std::string plain = plainText(row.text);
        EXPECT_EQ(plain.size(), row.length) << row.text.hex;
        EXPECT_EQ(row.text.key.size(), row.keyLength) << row.text.hex;
        EXPECT_EQ(scrambleText(plain, row.text.key), row.text.hex) << "stored as the tool makes it";
        EXPECT_NE(scrambleText(plain, ""), row.text.hex) << "a key that cancels out";
    }
    const std::string address = plainText(texts::webAddress);
    EXPECT_EQ(address.rfind("https://", 0), 0u);
    EXPECT_EQ(address.substr(address.size() - 8), ".example") << "the reserved domain only";
}
