// What the lights show for each kind of answer: never a state that was not reported.
#include "diagnostics/LightStates.h"

#include <gtest/gtest.h>

using namespace diagnostics;
using escpos::StatusQuery;
using printer::Outcome;

namespace {

printer::StatusReading reading(StatusQuery query, Outcome outcome, std::uint8_t reply = 0)
{
    printer::StatusReading r { query, outcome, reply, {} };
    if (outcome == Outcome::Answered)
        r.conditions = *escpos::decodeStatus(query, reply);
    return r;
}

LightState find(const std::vector<LightState>& lights, const std::string& key)
{
    for (const auto& light : lights)
        if (light.key == key)
            return light;
    ADD_FAILURE() << "no light " << key;
    return {};
}

} // namespace

TEST(LightStates, EachAnswerKindGivesItsColourAndWords)
{
    printer::PrinterReport report;
    report.status = { reading(StatusQuery::Printer, Outcome::Answered, 0x1A),
        reading(StatusQuery::OfflineCause, Outcome::NoAnswer),
        reading(StatusQuery::ErrorCause, Outcome::NotStatus, 0x93),
        reading(StatusQuery::PaperSensor, Outcome::Answered, 0x72) };
    report.ids = { { escpos::IdQuery::Model, 0x20, {} }, { escpos::IdQuery::Type, 0x02, {} },
        { escpos::IdQuery::Version, std::nullopt, {} } };
    const auto lights = statusLights(report);
    ASSERT_EQ(lights.size(), 10u);
    EXPECT_EQ(find(lights, "online"), (LightState { "online", Lamp::Red, "offline" }));
    EXPECT_EQ(find(lights, "cover-open"),
        (LightState { "cover-open", Lamp::Grey, "cover open: no answer" }));
    EXPECT_EQ(find(lights, "cutter-error"),
        (LightState { "cutter-error", Lamp::Grey, "cutter error: not an ESC/POS status (0x93)" }));
    EXPECT_EQ(find(lights, "paper-end"), (LightState { "paper-end", Lamp::Red, "paper end: yes" }));
    EXPECT_EQ(find(lights, "paper-near-end"),
        (LightState { "paper-near-end", Lamp::Green, "paper near end: no" }));
    EXPECT_EQ(find(lights, "feed-button"),
        (LightState { "feed-button", Lamp::Green, "feed button pressed: no" }));
    EXPECT_EQ(find(lights, "model"),
        (LightState { "model", Lamp::Green, "model 0x20, type 0x02 (autocutter)" }));
}

TEST(LightStates, NothingAskedIsGreyEverywhere)
{
    for (const auto& light : unaskedStatusLights()) {
        EXPECT_EQ(light.lamp, Lamp::Grey) << light.key;
        EXPECT_NE(light.words.find("not asked"), std::string::npos) << light.words;
    }
}

TEST(LightStates, DriverViewAndSerialLines)
{
    const auto unavailable = kernelLights({});
    ASSERT_EQ(unavailable.size(), 4u);
    for (const auto& light : unavailable) {
        EXPECT_EQ(light.lamp, Lamp::Grey);
        EXPECT_NE(light.words.find("not available"), std::string::npos) << light.words;
    }
    const auto known = kernelLights({ printer::LptLineStatus { true, true, false },
        printer::Ieee1284Id { "EPSON", "TM-T88V", "ESC/POS" } });
    EXPECT_EQ(known[0], (LightState { "lp-paper-out", Lamp::Red, "paper out (driver): yes" }));
    EXPECT_EQ(known[1], (LightState { "lp-selected", Lamp::Green, "selected (driver): yes" }));
    EXPECT_EQ(known[3].words, "maker EPSON, model TM-T88V, command set ESC/POS");

    // A pseudo-terminal has no lines to read: the settings alone tell nothing of the levels.
    const auto pty = lineLights(
        std::nullopt, { std::nullopt, std::nullopt, cport::dtrEnable, cport::rtsHandshake });
    EXPECT_EQ(pty[0], (LightState { "CTS", Lamp::Grey, "CTS: not available" }));
    EXPECT_EQ(pty[4], (LightState { "DTR", Lamp::Grey, "DTR: unknown" }));
    EXPECT_EQ(pty[5], (LightState { "RTS", Lamp::Grey, "RTS: unknown (handshake)" }));
    cport::TLineSignals raised;
    raised += cport::lsRLSD;
    // A UART whose DTR is low although the settings enable it, and RTS raised by handshake.
    const auto uart = lineLights(raised, { false, true, cport::dtrEnable, cport::rtsHandshake });
    EXPECT_EQ(uart[0].words, "CTS: off");
    EXPECT_EQ(uart[2], (LightState { "DCD", Lamp::Green, "DCD: on" }));
    EXPECT_EQ(uart[4], (LightState { "DTR", Lamp::Grey, "DTR: off" }));
    EXPECT_EQ(uart[5], (LightState { "RTS", Lamp::Green, "RTS: on (handshake)" }));
}

TEST(LightStates, LightsTheLatestRoundDidNotAskShowTheEarlierReadingGreyAndAged)
{
    printer::PrinterReport earlier;
    earlier.status = { reading(StatusQuery::Printer, Outcome::Answered, 0x1A),
        reading(StatusQuery::OfflineCause, Outcome::Answered, 0x16),
        reading(StatusQuery::ErrorCause, Outcome::Answered, 0x12),
        reading(StatusQuery::PaperSensor, Outcome::Answered, 0x12) };
    earlier.ids = { { escpos::IdQuery::Model, 0x20, {} } };
    printer::PrinterReport latest;
    latest.status = { reading(StatusQuery::Printer, Outcome::Answered, 0x12),
        reading(StatusQuery::PaperSensor, Outcome::Answered, 0x12) };
    const auto lights = statusLights(latest, earlier, "13:45:07");
    EXPECT_EQ(find(lights, "online"), (LightState { "online", Lamp::Green, "online" }));
    EXPECT_EQ(
        find(lights, "paper-end"), (LightState { "paper-end", Lamp::Green, "paper end: no" }));
    EXPECT_EQ(find(lights, "cover-open"),
        (LightState { "cover-open", Lamp::Grey, "cover open: yes (as of 13:45:07)" }));
    EXPECT_EQ(find(lights, "cutter-error"),
        (LightState { "cutter-error", Lamp::Grey, "cutter error: no (as of 13:45:07)" }));
    EXPECT_EQ(
        find(lights, "model"), (LightState { "model", Lamp::Grey, "model 0x20 (as of 13:45:07)" }));
    // Nothing earlier: what was not asked says so.
    EXPECT_EQ(
        find(statusLights(latest, {}, "13:45:07"), "cover-open").words, "cover open: not asked");
}
