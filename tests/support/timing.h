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

}  // namespace renpin::test
