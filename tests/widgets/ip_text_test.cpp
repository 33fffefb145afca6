// Reading and writing dotted addresses, and the octet rule of a field.
#include "IPStringCases.h"
#include "widgets/IPText.h"

#include <gtest/gtest.h>
#include <vector>

using namespace widgets;

TEST(IPText, OctetFromTextAcceptsOnlyIntegersFrom0To255)
{
    const std::pair<const char*, int> cases[] = {
        { "0", 0 },
        { "255", 255 },
        { "007", 7 },
        { " 9", 9 },
        { "+12", 12 },
        { "$FF", 255 },
        { "0x0a", 10 },
        { "XA", 10 },
        { "256", -1 },
        { "-1", -1 },
        { "-0", 0 },
        { "9 ", -1 },
        { "", -1 },
        { " ", -1 },
        { "$", -1 },
        { "0x", -1 },
        { "1.5", -1 },
        { "abc", -1 },
        { "99999999999", -1 },
        { "$100", -1 },
    };
    for (const auto& [text, expected] : cases) {
        const auto octet = octetFromText(text);
        if (expected < 0)
            EXPECT_FALSE(octet.has_value()) << '"' << text << '"';
        else
            EXPECT_EQ(octet, std::optional<std::uint8_t>(expected)) << '"' << text << '"';
    }
}

TEST(IPText, ParseFollowsTheTokenRules)
{
    std::vector<std::pair<const char*, const char*>> cases(
        std::begin(iptest::tokenRuleCases), std::end(iptest::tokenRuleCases));
    cases.insert(cases.end(),
        { { "...", "255.255.255.255" }, { "1.2.3.", "1.2.3.255" }, { "007.0x10.-0.+1", "7.16.0.1" },
            { "1 .2.3.4", "255.2.3.4" } });
    for (const auto& [text, expected] : cases) {
        const auto octets = parseIPString(text);
        ASSERT_TRUE(octets.has_value()) << '"' << text << '"';
        EXPECT_EQ(formatIPString(*octets), expected) << '"' << text << '"';
    }
}

TEST(IPText, FewerThanThreeDotsGiveNothing)
{
    for (const char* text : { "", "1.2.3", "1", "1.2", "..", "1,2,3,4", "192.168.1" })
        EXPECT_FALSE(parseIPString(text).has_value()) << '"' << text << '"';
}

TEST(IPText, FormatWritesPlainDecimals)
{
    EXPECT_EQ(formatIPString({ 0, 0, 0, 0 }), "0.0.0.0");
    EXPECT_EQ(formatIPString({ 255, 7, 10, 100 }), "255.7.10.100");
}
