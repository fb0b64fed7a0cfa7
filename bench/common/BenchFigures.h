// The figure the benchmarks print for a series of runs: the median (the upper one of an even
// count), so one slow run on a shared machine does not move it.
#pragma once

#include <algorithm>
#include <vector>

namespace tarn::bench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace tarn::bench
