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

// The mean of the middle half of the values, the lowest and the highest quarter left out: as
// robust as the median against a machine's bursts of other work, and steadier from few values.
[[nodiscard]] double interquartile_mean(std::vector<double> values);

}  // namespace renpin::test
