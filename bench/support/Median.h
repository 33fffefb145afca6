#pragma once
// The median of a benchmark's rounds: the middle one, or the mean of the middle two.

#include <algorithm>
#include <vector>

namespace benchsupport {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace benchsupport
