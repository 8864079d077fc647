#include <benchmark/benchmark.h>

#include <string>

#include "evaluation/score.h"

namespace {

// A mix of ASCII, CJK above and below U+8000 and surrogate pairs, as pasted names have.
std::u16string sample_name(std::size_t units) {
    static constexpr std::u16string_view pattern = u"张三 Tom赵\U0001F600k-Vem阿朴";
    std::u16string name(units, u' ');
    for (std::size_t i = 0; i < units; ++i) {
        name[i] = pattern[i % pattern.size()];
    }
    return name;
}

void BM_compute_score(benchmark::State& state) {
    const std::u16string name = sample_name(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(renpin::compute_score(name));
    }
    state.counters["units_per_second"] = benchmark::Counter(
        static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_compute_score)->Arg(10)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
