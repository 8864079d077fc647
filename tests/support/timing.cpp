#include "timing.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace renpin::test {

double Stopwatch::seconds() const {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double median_ratio(const std::vector<double>& numerators,
                    const std::vector<double>& denominators) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < numerators.size() && i < denominators.size(); ++i) {
        ratios.push_back(numerators[i] / denominators[i]);
    }
    return median(std::move(ratios));
}

}  // namespace renpin::test
