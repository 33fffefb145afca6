#include "emulator/NotDrawn.h"

#include <array>

namespace emulator {

using escpos::esc;
using escpos::fs;
using escpos::gs;

namespace {

enum class When {
    Always,
    OneColour, // turned on (bit 0 of the first parameter, or the digit '1') on a one-colour head
    Never, // refused where it is met (a code kind, a code table); listed for --help
};

struct Feature {
    const char* what;
    When when;
    std::array<escpos::CommandCode, 6> codes; // unused slots are 0
};

constexpr Feature kFeatures[] = {
    // Characters are drawn from their outlines at the enlarged size: always smooth.
    { "smoothing (GS b): enlarged characters are drawn smooth whether it is on or off",
        When::Always, { gs('b') } },
    { "the second colour (ESC r) without --two-colour: red prints black", When::OneColour,
        { esc('r') } },
    { "user-defined characters (ESC &)", When::Always, { esc('&') } },
    { "downloaded and NV bit images (GS *, GS /, FS p)", When::Always,
        { gs('*'), gs('/'), fs('p') } },
    { "Kanji (FS &): each byte prints from the code table", When::Always, { fs('&') } },
    { "macros (GS :, GS ^)", When::Always, { gs(':'), gs('^') } },
    { "the widest row of GS1 DataBar Expanded Stacked (GS ( k 51 71): two segment pairs a row",
        When::Never, {} },
    { "composite symbols (GS ( k 52)", When::Never, {} },
};

bool asks(When when, std::uint8_t parameter, bool twoColour)
{
    const bool on = parameter == '1' || (parameter != '0' && (parameter & 1));
    switch (when) {
    case When::Always:
        return true;
    case When::OneColour:
        return on && !twoColour;
    case When::Never:
        break;
    }
    return false;
}

} // namespace

std::string notDrawn(const escpos::Command& command, bool twoColour)
{
    if (command.kind != escpos::CommandKind::Known)
        return {};
    for (const auto& feature : kFeatures)
        for (const auto code : feature.codes)
            if (code != 0 && code == command.code && asks(feature.when, command.at(2), twoColour))
                return std::string(feature.what) + " is not drawn";
    return {};
}

std::string notDrawnList()
{
    std::string list;
    for (const auto& feature : kFeatures)
        list += std::string("  ") + feature.what + "\n";
    return list;
}

} // namespace emulator
