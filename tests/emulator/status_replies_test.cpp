// What the virtual printer answers to status and identity queries in each set condition.
#include "emulator/StatusReplies.h"
#include "escpos/CommandSplitter.h"

#include <gtest/gtest.h>

using namespace emulator;
using namespace std::string_literals;

namespace {

// The replies to a stream of queries, in order.
std::string replies(const std::string& conditionList, const std::string& queries)
{
    std::string error;
    const auto conditions = parseConditions(conditionList, error);
    EXPECT_TRUE(conditions) << error;
    std::string answered;
    escpos::CommandSplitter splitter([&](const escpos::Command& command) {
        answered += statusReply(command, withImpliedConditions(*conditions));
    });
    splitter.feed(queries);
    splitter.finish();
    return answered;
}

const std::string kRealTime = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04";

} // namespace

TEST(StatusReplies, RealTimeStatusFollowsTheSetConditions)
{
    const struct {
        std::string conditions;
        std::string replies; // DLE EOT 1, 2, 3, 4
    } cases[] = {
        { "", "\x12\x12\x12\x12" },
        { "none", "\x12\x12\x12\x12" },
        { "paper-end", "\x1a\x32\x12\x72" },
        { "paper-near-end", "\x12\x12\x12\x1e" },
        { "cover-open", "\x1a\x16\x12\x12" },
        { "offline", "\x1a\x12\x12\x12" },
        { "drawer-open", "\x16\x12\x12\x12" },
        { "cutter-error", "\x1a\x52\x1a\x12" },
        { "error", "\x1a\x52\x12\x12" }, // an error takes the printer offline too
        { "ready", "\x12\x12\x12\x12" },
        { "paper-end, cover-open,drawer-open", "\x1e\x36\x12\x72" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(replies(c.conditions, kRealTime), c.replies) << c.conditions;
}

TEST(StatusReplies, IdentityAndTransmittedStatus)
{
    EXPECT_EQ(replies("", "\x1dI\x01\x1dI\x02\x1dI\x03\x1dI\x31"s), "\x51\x02\x10\x51");
    EXPECT_EQ(replies("", "\x1dI\x43"s), "\x5fQuillet Virtual Printer\0"s);
    EXPECT_EQ(replies("", "\x1dI\x42\x1dI\x41"s),
        "\x5fQuillet\0\x5f"
        "1.0\0"s);
    // GS r 1: bits 0-1 paper near end, bits 2-3 paper end; GS r 2: bit 0 the drawer connector.
    EXPECT_EQ(replies("paper-end,paper-near-end", "\x1dr\x01\x1bv"), "\x0f\x0f");
    EXPECT_EQ(replies("paper-near-end", "\x1dr\x01"), "\x03");
    EXPECT_EQ(replies("paper-end", "\x1dr\x01"), "\x0c");
    EXPECT_EQ(replies("", "\x1dr\x01"s), "\x00"s);
    EXPECT_EQ(replies("drawer-open", "\x1dr\x02\x1dr\x31"s), "\x01\x00"s);
    // Commands that are not queries, and queries of kinds we do not know, answer nothing.
    EXPECT_EQ(replies("", "\x10\x04\x07\x01\x1dI\x09\x1b@text\n\x1dV\x00"s), "");
}

TEST(StatusReplies, ConditionListsAreCheckedKeyByKey)
{
    std::string error;
    EXPECT_FALSE(parseConditions("paper-end,paper-gone", error));
    EXPECT_EQ(error, "unknown printer condition \"paper-gone\"");
    const auto trailing = parseConditions("offline,", error);
    ASSERT_TRUE(trailing);
    EXPECT_EQ(trailing->count(), 1u);
}
