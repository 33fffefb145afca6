// Text forms, device values and event masks of the port settings.
#include "serial/core/ComConversions.h"

#include <gtest/gtest.h>

using namespace cport;

TEST(Conversions, EveryMemberRoundTripsThroughItsText)
{
    const char* baud[] = { "Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
        "19200", "38400", "56000", "57600", "115200", "128000", "256000" };
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(baudRateToText(TBaudRate(i)), baud[i]);
        EXPECT_EQ(baudRateFromText(baud[i]), TBaudRate(i));
    }
    const char* stop[] = { "1", "1.5", "2" };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(stopBitsFromText(stopBitsToText(TStopBits(i))), TStopBits(i)) << stop[i];
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dataBitsToText(TDataBits(i)), std::to_string(5 + i));
    const char* parity[] = { "None", "Odd", "Even", "Mark", "Space" };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(parityToText(TParityBits(i)), parity[i]);
    const char* flow[] = { "Hardware", "Software", "None", "Custom" };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(flowControlFromText(flow[i]), TFlowControl(i));
    const char* rts[] = { "Disable", "Enable", "Handshake", "Toggle" };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(rtsControlFromText(rtsControlToText(TRTSFlowControl(i))), TRTSFlowControl(i))
            << rts[i];
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dtrControlFromText(dtrControlToText(TDTRFlowControl(i))), TDTRFlowControl(i));
}

TEST(Conversions, FromTextIgnoresAsciiCaseOnlyAndFallsBack)
{
    struct Case {
        const char* text;
        TBaudRate expected;
    };
    for (const Case& c : { Case { "", br9600 }, { "9601", br9600 }, { "fast", br9600 },
             { "custom", brCustom }, { "CUSTOM", brCustom }, { "19200 ", br9600 },
             { " 19200", br9600 }, { "115200", br115200 }, { "cUsToM", brCustom } })
        EXPECT_EQ(baudRateFromText(c.text), c.expected) << '"' << c.text << '"';

    EXPECT_EQ(parityFromText("even"), prEven);
    EXPECT_EQ(parityFromText("SPACE"), prSpace);
    EXPECT_EQ(parityFromText("\xE9ven"), prNone);
    EXPECT_EQ(stopBitsFromText("1.5"), sbOne5StopBits);
    EXPECT_EQ(stopBitsFromText("1,5"), sbOneStopBit);
    EXPECT_EQ(dataBitsFromText("9"), dbEight);
    EXPECT_EQ(flowControlFromText("xon"), fcCustom);
    EXPECT_EQ(flowControlFromText("none"), fcNone);
    EXPECT_EQ(dtrControlFromText("handshake"), dtrHandshake);
    EXPECT_EQ(dtrControlFromText("Toggle"), dtrDisable);
    EXPECT_EQ(rtsControlFromText("TOGGLE"), rtsToggle);
    EXPECT_EQ(rtsControlFromText(""), rtsDisable);
}

TEST(Conversions, Flags)
{
    EXPECT_EQ(flagToText(true), "Yes");
    EXPECT_EQ(flagToText(false), "No");
    EXPECT_TRUE(flagFromText("yes"));
    EXPECT_TRUE(flagFromText("YeS"));
    EXPECT_FALSE(flagFromText(""));
    EXPECT_FALSE(flagFromText("y"));
    EXPECT_FALSE(flagFromText("yes "));
    EXPECT_FALSE(flagFromText("true"));
}

TEST(Conversions, CharacterTexts)
{
    struct Case {
        int code;
        const char* text;
    };
    for (const Case& c : { Case { 0, "#0" }, { 17, "#17" }, { 32, "#32" }, { 33, "!" }, { 65, "A" },
             { 127, "\x7F" }, { 128, "#128" }, { 200, "#200" }, { 255, "#255" } })
        EXPECT_EQ(charToText(char(c.code)), c.text) << c.code;
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(static_cast<unsigned char>(charFromText(charToText(char(code)))), code);

    struct Back {
        const char* text;
        int code;
    };
    for (const Back& b :
        { Back { "", 0 }, { "#17", 17 }, { "#273", 17 }, { "#-1", 255 }, { "#abc", 0 },
            { "#", '#' }, { "AB", 'A' }, { "#17x", 0 }, { " ", ' ' }, { "#99999999999", 0 } })
        EXPECT_EQ(static_cast<unsigned char>(charFromText(b.text)), b.code) << '"' << b.text << '"';
}

TEST(Conversions, EventMasksAreExactInversesOverTheTenEvents)
{
    const std::uint32_t bits[] = { 0x1, 0x4, 0x2, 0x100, 0x40, 0x8, 0x10, 0x80, 0x20, 0x400 };
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(eventsToMask(TComEvents { TComEvent(i) }), bits[i]);
        EXPECT_EQ(maskToEvents(bits[i]), TComEvents { TComEvent(i) });
    }
    EXPECT_EQ(eventsToMask(allComEvents), 0x5FFu);
    EXPECT_EQ(maskToEvents(0x5FF), allComEvents);
    EXPECT_EQ(allComEvents.bits(), 1023);
    EXPECT_TRUE(maskToEvents(0x200).empty());
    EXPECT_TRUE(maskToEvents(0xFFFFF800).empty());
    for (std::uint32_t set = 0; set < 1024; ++set)
        EXPECT_EQ(maskToEvents(eventsToMask(TComEvents::fromBits(std::uint16_t(set)))).bits(), set);
}
