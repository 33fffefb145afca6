#pragma once
// The median of a benchmark's rounds.

#include <algorithm>
#include <vector>

namespace benchsupport {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace benchsupport
