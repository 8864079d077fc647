#pragma once

#include <windows.h>

#include <vector>

namespace renpin::test {

// Seconds measured with the performance counter.
class Stopwatch {
  public:
    Stopwatch() { restart(); }
    void restart() { QueryPerformanceCounter(&start_); }
    [[nodiscard]] double seconds() const;

  private:
    LARGE_INTEGER start_{};
};

// The middle value; the mean of the two middle ones for an even count.
[[nodiscard]] double median(std::vector<double> values);

// The median of the ratios of times taken in pairs, one of each program close together: a
// change in the machine's load between pairs hits both sides of a ratio alike.
[[nodiscard]] double median_ratio(const std::vector<double>& numerators,
                                  const std::vector<double>& denominators);

}  // namespace renpin::test
