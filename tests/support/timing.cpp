#include "timing.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace renpin::test {

double Stopwatch::seconds() const {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double interquartile_mean(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t quarter = values.size() / 4;
    const auto first = values.begin() + static_cast<std::ptrdiff_t>(quarter);
    const auto last = values.end() - static_cast<std::ptrdiff_t>(quarter);
    return std::accumulate(first, last, 0.0) / static_cast<double>(last - first);
}

}  // namespace renpin::test
