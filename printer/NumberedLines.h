#pragma once
// The dropped-byte test: numbered lines ("0001 …") a printer that loses bytes prints with gaps,
// so the numbers missing from the paper (or from the virtual printer's log) name what was lost.

#include <cstddef>
#include <string>

namespace printer {

inline constexpr std::size_t kDefaultNumberedLines = 200;
inline constexpr std::size_t kMostNumberedLines = 9999;

// `count` lines (1 to kMostNumberedLines), each four digits from 0001, a space, a fixed text
// and LF; the same length every line, so a lost byte shows in the line it belonged to.
std::string numberedLines(std::size_t count);

} // namespace printer
