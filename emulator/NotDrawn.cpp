#include "emulator/NotDrawn.h"

#include <array>

namespace emulator {

using escpos::esc;
using escpos::fs;
using escpos::gs;

namespace {

enum class When {
    Always,
    On, // the first parameter turns it on (bit 0, or the digit '1')
    NonZero, // the first parameter is not zero
    Never, // refused where it is met (a code kind, a code table); listed for --help
};

struct Feature {
    const char* what;
    When when;
    std::array<escpos::CommandCode, 6> codes; // unused slots are 0
};

constexpr Feature kFeatures[] = {
    { "90-degree rotation (ESC V)", When::On, { esc('V') } },
    { "the order of upside-down lines (ESC {): each line is turned on its own", When::On,
        { esc('{') } },
    { "reverse feed (ESC e)", When::NonZero, { esc('e') } },
    { "smoothing (GS b)", When::On, { gs('b') } },
    { "the second colour (ESC r): red prints black", When::On, { esc('r') } },
    { "motion units (GS P): positions stay in dots of 1/203 inch", When::Always, { gs('P') } },
    { "user-defined characters (ESC &)", When::Always, { esc('&') } },
    { "downloaded and NV bit images (GS *, GS /, FS p)", When::Always,
        { gs('*'), gs('/'), fs('p') } },
    { "Kanji (FS &): each byte prints from the code table", When::Always, { fs('&') } },
    { "macros (GS :, GS ^)", When::Always, { gs(':'), gs('^') } },
    { "GS1 DataBar 2D and composite symbols (GS ( k 51, 52)", When::Never, {} },
    { "code tables PC853 (12) and PC1098 (41): PC437 prints", When::Never, {} },
};

bool asks(When when, std::uint8_t parameter)
{
    switch (when) {
    case When::Always:
        return true;
    case When::On:
        return parameter == '1' || (parameter != '0' && (parameter & 1));
    case When::NonZero:
        return parameter != 0;
    case When::Never:
        break;
    }
    return false;
}

} // namespace

std::string notDrawn(const escpos::Command& command)
{
    if (command.kind != escpos::CommandKind::Known)
        return {};
    for (const auto& feature : kFeatures)
        for (const auto code : feature.codes)
            if (code != 0 && code == command.code && asks(feature.when, command.at(2)))
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
