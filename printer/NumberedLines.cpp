#include "printer/NumberedLines.h"

#include <algorithm>
#include <cstdio>

namespace printer {

namespace {

// 32 characters: with the number and its space, a line fits 42 columns of an 80 mm printer.
constexpr char kLineText[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";

} // namespace

std::string numberedLines(std::size_t count)
{
    count = std::clamp<std::size_t>(count, 1, kMostNumberedLines);
    std::string lines;
    lines.reserve(count * (sizeof kLineText + 5));
    char number[8];
    for (std::size_t i = 1; i <= count; ++i) {
        std::snprintf(number, sizeof number, "%04zu ", i);
        lines += number;
        lines += kLineText;
        lines += '\n';
    }
    return lines;
}

} // namespace printer
